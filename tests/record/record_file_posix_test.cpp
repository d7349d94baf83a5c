// Faults only a POSIX system lets a test make: a full device, a file size
// limit, and the mode of a new file.
#include "record/file_layer.h"
#include "record_files_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>

namespace
{

using namespace std::string_literals;

TEST_F(RecordFiles, NewFilesReadableByAllWritableByTheOwner)
{
    const mode_t previousMask = umask(022);
    const auto result = systemFiles().appendRuns({{path("send"), "s"}});
    umask(previousMask);
    EXPECT_EQ(result, std::nullopt);
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(path("send")).permissions(), perms(0644));
}

TEST_F(RecordFiles, AppendStopsAtFullDevice)
{
    const FilePath before = withContents("before", earlier_);
    const FilePath after = withContents("after", earlier_);
    std::filesystem::create_symlink("/dev/full", path("full"));
    const auto failure = systemFiles().appendRuns(
        {{before, "b"}, {path("full"), "x"}, {after, "a"}, {path("fresh"), "f"}});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->path, path("full"));
    EXPECT_EQ(failure->reason, "No space left on device");
    EXPECT_EQ(contents(before), earlier_ + "b");
    EXPECT_EQ(contents(after), earlier_);
    EXPECT_FALSE(std::filesystem::exists(path("fresh")));
}

struct CutBackCase {
    const char* name;
    std::optional<std::string> earlier;
};

class AppendPartialWrite : public RecordFiles, public testing::WithParamInterface<CutBackCase>
{
};

TEST_P(AppendPartialWrite, CutsBackToEarlierContents)
{
    const auto& earlier = GetParam().earlier;
    const FilePath file = earlier ? withContents("file", *earlier) : path("file");
    // A file size limit makes the kernel write only some of the run, then refuse.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previousLimit{};
    getrlimit(RLIMIT_FSIZE, &previousLimit);
    const rlimit limit{earlier.value_or("").size() + 5, previousLimit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto failure = systemFiles().appendRuns({{file, std::string(100, 'x')}});
    setrlimit(RLIMIT_FSIZE, &previousLimit);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->reason, "File too large");
    EXPECT_EQ(contents(file), earlier);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AppendPartialWrite,
    testing::Values(CutBackCase{"ExistingFileKeepsItsBytes", "earlier\r\n\0\xFF"s},
                    CutBackCase{"NewFileIsRemoved", std::nullopt}),
    [](const testing::TestParamInfo<CutBackCase>& param) { return param.param.name; });

} // namespace
