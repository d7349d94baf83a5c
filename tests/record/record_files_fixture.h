#pragma once

#include "record/file_layer.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>

inline std::string hex(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        constexpr const char* digits = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(c);
        out += {digits[byte >> 4], digits[byte & 0xF], ' '};
    }
    return out;
}

// A fresh folder for each test, removed with everything in it afterwards.
class RecordFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device random;
        do {
            folder_ = std::filesystem::temp_directory_path() /
                      ("qa-record-files-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(folder_));
    }
    void TearDown() override
    {
        // Read-only files block removal on Windows; a link's target is not ours.
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_)) {
            if (!entry.is_symlink()) {
                std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                             std::filesystem::perm_options::add, ignored);
            }
        }
        std::filesystem::remove_all(folder_);
    }

    // Names are UTF-8, as the program's are.
    FilePath path(std::string_view name) const
    {
        return folder_ / FilePath(std::u8string(name.begin(), name.end()));
    }
    FilePath withContents(std::string_view name, const std::string& bytes) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    static std::optional<std::string> contents(const FilePath& file)
    {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            return std::nullopt;
        }
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static constexpr char kEarlier[] = "earlier\r\n\0\xFF\x81 no line end";
    const std::string earlier_{kEarlier, sizeof kEarlier - 1};
    FilePath folder_;
};
