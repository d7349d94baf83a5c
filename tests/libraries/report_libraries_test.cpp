// The report's libraries as each system's build links them (on Windows the
// static ones scripts/windows-libs.sh builds): ZIP files in memory, stored,
// deflated and encrypted, and workbooks under names that are not ASCII.
#include "../record/record_files_fixture.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{

std::string utf8(const FilePath& file)
{
    const std::u8string text = file.u8string();
    return {text.begin(), text.end()};
}

// The whole text of an archive's entry, or what went wrong.
std::string entryText(zip_t* archive, const char* name)
{
    zip_file_t* entry = zip_fopen(archive, name, 0);
    if (entry == nullptr) {
        return std::string("no entry: ") + zip_strerror(archive);
    }
    std::string text;
    char buffer[4096];
    for (zip_int64_t n; (n = zip_fread(entry, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    zip_fclose(entry);
    return text;
}

struct EntryCase {
    const char* name;
    zip_int32_t compression;
    zip_uint16_t encryption;
};

void PrintTo(const EntryCase& c, std::ostream* os)
{
    *os << c.name;
}

class ArchiveInMemory : public testing::TestWithParam<EntryCase>
{
protected:
    static constexpr char kPassword[] = "class of 2027";
    const std::string text_ = [] {
        std::string lines;
        for (int i = 0; i < 100; ++i) {
            lines += "RESPONSE -->  x\xc2\xb2 + 1\r\n";
        }
        return lines;
    }();

    // An archive of one entry, written by libzip into memory.
    std::string archived() const
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
        zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
        EXPECT_NE(archive, nullptr) << zip_error_strerror(&error);
        if (archive == nullptr) {
            zip_source_free(buffer);
            return {};
        }
        zip_source_keep(buffer);
        zip_source_t* data = zip_source_buffer(archive, text_.data(), text_.size(), 0);
        const zip_int64_t index = zip_file_add(archive, "answers.txt", data, ZIP_FL_ENC_UTF_8);
        EXPECT_EQ(zip_set_file_compression(archive, index, GetParam().compression, 0), 0);
        if (GetParam().encryption != ZIP_EM_NONE) {
            EXPECT_EQ(zip_file_set_encryption(archive, index, GetParam().encryption, kPassword), 0)
                << zip_strerror(archive);
        }
        EXPECT_EQ(zip_close(archive), 0) << zip_strerror(archive);
        std::string bytes;
        zip_stat_t stat;
        if (zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
            bytes.resize(stat.size);
            const zip_int64_t n = zip_source_read(buffer, bytes.data(), stat.size);
            bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
            zip_source_close(buffer);
        }
        zip_source_free(buffer);
        return bytes;
    }
};

TEST_P(ArchiveInMemory, ReadBackWithItsMethod)
{
    const std::string bytes = archived();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    ASSERT_NE(archive, nullptr) << zip_error_strerror(&error);
    zip_set_default_password(archive, kPassword);
    zip_stat_t stat;
    ASSERT_EQ(zip_stat(archive, "answers.txt", 0, &stat), 0) << zip_strerror(archive);
    EXPECT_EQ(stat.comp_method, GetParam().compression);
    EXPECT_EQ(stat.encryption_method, GetParam().encryption);
    EXPECT_EQ(entryText(archive, "answers.txt"), text_);
    zip_close(archive);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, ArchiveInMemory,
    testing::Values(EntryCase{"Stored", ZIP_CM_STORE, ZIP_EM_NONE},
                    EntryCase{"Deflated", ZIP_CM_DEFLATE, ZIP_EM_NONE},
                    EntryCase{"DeflatedAes256", ZIP_CM_DEFLATE, ZIP_EM_AES_256},
                    EntryCase{"DeflatedTraditionalPkware", ZIP_CM_DEFLATE, ZIP_EM_TRAD_PKWARE}),
    [](const testing::TestParamInfo<EntryCase>& param) { return param.param.name; });

// What each build's libzip reads: Debian's links bzip2 and OpenSSL, the
// Windows one zlib and Windows' own cryptography only.
struct SupportCase {
    const char* name;
    zip_int32_t compression;
    zip_uint16_t encryption;
    bool onLinux;
    bool onWindows;
};

void PrintTo(const SupportCase& c, std::ostream* os)
{
    *os << c.name;
}

class MethodSupport : public testing::TestWithParam<SupportCase>
{
};

TEST_P(MethodSupport, AsTheBuildLinks)
{
#ifdef _WIN32
    const bool expected = GetParam().onWindows;
#else
    const bool expected = GetParam().onLinux;
#endif
    EXPECT_EQ(zip_compression_method_supported(GetParam().compression, 0) != 0 &&
                  zip_encryption_method_supported(GetParam().encryption, 1) != 0,
              expected);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, MethodSupport,
    testing::Values(SupportCase{"Deflate", ZIP_CM_DEFLATE, ZIP_EM_NONE, true, true},
                    SupportCase{"Bzip2", ZIP_CM_BZIP2, ZIP_EM_NONE, true, false},
                    SupportCase{"Xz", ZIP_CM_XZ, ZIP_EM_NONE, false, false},
                    SupportCase{"Aes256", ZIP_CM_DEFLATE, ZIP_EM_AES_256, true, true}),
    [](const testing::TestParamInfo<SupportCase>& param) { return param.param.name; });

struct NameCase {
    const char* name;
    const char* file;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.name;
}

class WorkbookName : public RecordFiles, public testing::WithParamInterface<NameCase>
{
};

TEST_P(WorkbookName, WrittenUnderItsNameWithItsCell)
{
    const FilePath file = path(GetParam().file);
    lxw_workbook* workbook = workbook_new(utf8(file).c_str());
    ASSERT_NE(workbook, nullptr);
    worksheet_write_string(workbook_add_worksheet(workbook, nullptr), 0, 0,
                           "Jos\u00e9 N\u00fa\u00f1ez \u738b\u5c0f\u660e", nullptr);
    ASSERT_EQ(workbook_close(workbook), LXW_NO_ERROR);

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        names.push_back(utf8(entry.path().filename()));
    }
    EXPECT_EQ(names, std::vector<std::string>{GetParam().file});
    int error = 0;
    zip_t* archive = zip_open(utf8(file).c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(archive, nullptr) << "libzip error " << error;
    EXPECT_NE(entryText(archive, "xl/sharedStrings.xml")
                  .find("<t>Jos\u00e9 N\u00fa\u00f1ez \u738b\u5c0f\u660e</t>"),
              std::string::npos);
    zip_close(archive);
}

INSTANTIATE_TEST_SUITE_P(Names, WorkbookName,
                         testing::Values(NameCase{"Ascii", "class report.xlsx"},
                                         NameCase{"Accented", "Jos\u00e9 N\u00fa\u00f1ez.xlsx"},
                                         NameCase{"Chinese", "\u738b\u5c0f\u660e.xlsx"}),
                         [](const testing::TestParamInfo<NameCase>& param) {
                             return param.param.name;
                         });

} // namespace
