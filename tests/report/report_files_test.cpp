#include "report/report_files.h"

#include "../record/record_files_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>

namespace
{

class ReportFiles : public RecordFiles
{
protected:
    std::string utf8(const FilePath& file) const
    {
        const std::u8string text = file.u8string();
        return {text.begin(), text.end()};
    }
    std::map<std::string, bool> listed(const FilePath& folder, int& error) const
    {
        std::vector<FolderEntry> entries;
        error = listFolder(utf8(folder), entries);
        std::map<std::string, bool> names;
        for (const FolderEntry& entry : entries) {
            names[entry.name] = entry.folder;
        }
        return names;
    }
    std::string readWhole(InputOpener& files, const FilePath& file) const
    {
        const int fd = files.open(utf8(file));
        EXPECT_GE(fd, 0) << utf8(file);
        std::string bytes;
        char buffer[7];
        for (std::ptrdiff_t n; fd >= 0 && (n = readInput(fd, buffer, sizeof buffer)) > 0;) {
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        closeInput(fd);
        return bytes;
    }
};

TEST_F(ReportFiles, FolderEntriesWithTheirKindAndWholeNames)
{
    withContents("send_0416Ann.txt", "a");
    withContents("send_0416Jos\u00E9_N\u00FA\u00F1ez.txt", "b");
    std::filesystem::create_directory(path("week 2"));
    std::filesystem::create_directory(path("\u738B\u5C0F\u660E"));
    std::map<std::string, bool> expected = {{"send_0416Ann.txt", false},
                                            {"send_0416Jos\u00E9_N\u00FA\u00F1ez.txt", false},
                                            {"week 2", true},
                                            {"\u738B\u5C0F\u660E", true}};
    // A link back up the tree is listed, but not as a folder to enter.
    std::error_code linkError;
    std::filesystem::create_directory_symlink(folder_, path("up"), linkError);
    if (!linkError) {
        expected["up"] = false;
    }
    int error = -1;
    EXPECT_EQ(listed(folder_, error), expected);
    EXPECT_EQ(error, 0);
    std::filesystem::remove(path("up"), linkError);
}

TEST_F(ReportFiles, FolderThatCannotBeListed)
{
    int error = 0;
    EXPECT_TRUE(listed(path("missing"), error).empty());
    EXPECT_EQ(error, ENOENT);
    EXPECT_TRUE(listed(withContents("a file", "x"), error).empty());
    EXPECT_EQ(error, ENOTDIR);
}

TEST_F(ReportFiles, FilesReadWholeFromFoldersInTurn)
{
    std::filesystem::create_directory(path("b"));
    const FilePath one = withContents("send_0416Ann.txt", earlier_ + std::string(5000, 'x'));
    const FilePath two = withContents("b/send_0416Jos\u00E9.txt", "second\r\n");
    const FilePath three = withContents("send_0417Ann.txt", "");
    InputOpener files;
    EXPECT_EQ(readWhole(files, one), earlier_ + std::string(5000, 'x'));
    EXPECT_EQ(readWhole(files, two), "second\r\n");
    EXPECT_EQ(readWhole(files, three), "");
    EXPECT_EQ(readWhole(files, one).size(), earlier_.size() + 5000);
    errno = 0;
    EXPECT_EQ(files.open(utf8(path("b/missing.txt"))), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST_F(ReportFiles, TextsWrittenWholeAndInOrder)
{
    const FilePath table = path("table \u00E9.csv");
    std::FILE* file = openOutput(utf8(table));
    ASSERT_NE(file, nullptr);
    // More texts than one system call takes, some of them empty.
    std::vector<std::string> texts;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        texts.push_back(i % 7 == 0 ? std::string() : std::to_string(i) + ",\r\n");
        expected += texts.back();
    }
    EXPECT_EQ(writeTexts(file, texts), 0);
    EXPECT_EQ(writeTexts(file, {earlier_}), 0);
    std::fclose(file);
    EXPECT_EQ(contents(table), expected + earlier_);
}

TEST_F(ReportFiles, FailedWritesAndOpeningsAreTold)
{
    std::FILE* readOnly = std::fopen(withContents("kept", "kept").string().c_str(), "rb");
    ASSERT_NE(readOnly, nullptr);
    EXPECT_NE(writeTexts(readOnly, {"lost"}), 0);
    std::fclose(readOnly);
    EXPECT_EQ(contents(path("kept")), "kept");
    errno = 0;
    EXPECT_EQ(openOutput(utf8(path("missing/table.csv"))), nullptr);
    EXPECT_EQ(errno, ENOENT);
}

TEST(ProgramWords, AreTheCommandLinesWords)
{
    const std::vector<std::string> given = testing::internal::GetArgvs();
    std::vector<char*> argv;
    for (const std::string& word : given) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    const std::vector<std::string> words = programWords(static_cast<int>(argv.size()), argv.data());
    ASSERT_EQ(words.size(), given.size());
    EXPECT_TRUE(std::equal(words.begin() + 1, words.end(), given.begin() + 1));
}

} // namespace
