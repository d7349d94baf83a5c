#include "report_fixture.h"

#include <gtest/gtest.h>

#include <QDir>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace
{

struct NotReadCase {
    const char* name;
    // The path to name on the command line, and the file (and line) told of.
    std::function<std::pair<std::string, std::string>(const Folder&)> setUp;
    std::string message;
    std::string alsoRead = ""; // what the summary shows of the file told of
};

class FileNotReadWhole : public testing::TestWithParam<NotReadCase>
{
};

TEST_P(FileNotReadWhole, IsToldAndTheRestIsRead)
{
    Folder folder;
    folder.write("send_0416Ann.txt", writer().opening("001", kDay, "RUN"));
    const auto [named, told] = GetParam().setUp(folder);
    const Outcome r = report({{named, folder.path("send_0416Ann.txt")}, false, {}, {}});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, told + ": " + GetParam().message + "\n");
    EXPECT_NE(r.out.find("Ann\n  assignment 001"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(GetParam().alsoRead), std::string::npos) << r.out;
}

// Bo's send file, whose last run ends in `cut`, with `after` after it; told at
// the line after the cut.
std::pair<std::string, std::string> cutFile(const Folder& f, const std::string& cut,
                                            const std::string& after)
{
    const std::string bytes = writer().opening("001", kDay, "BO") + cut;
    f.write("send_0416Bo.txt", bytes + after);
    const std::string path = f.path("send_0416Bo.txt");
    return {path, path + ':' + std::to_string(std::count(bytes.begin(), bytes.end(), '\n') + 1)};
}

// Bo's send file of one record, whose run code "BOCODE" a test may damage.
std::string bosFile()
{
    return writer().opening("001", kDay, "BOCODE") +
           answered(FileRole::send, "001", 1, q("001", 1).entry, Rating::confidence);
}

std::uint32_t bosOpening()
{
    return static_cast<std::uint32_t>(writer().opening("001", kDay, "BOCODE").size());
}

// An archive holding Bo's send file as `member`, and beside it a picture
// large enough for the archive to hold what a member declares; forged by
// `forge`. Told of: the member.
std::pair<std::string, std::string> bosArchive(const Folder& f, const std::string& member,
                                               const std::function<void(std::string&)>& forge = {},
                                               bool deflate = true)
{
    std::string picture(300 << 10, '\0');
    std::uint32_t x = 2463534242u;
    for (char& c : picture) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    std::string zip = zipBytes({{member, bosFile()}, {"photo.png", picture}}, deflate);
    if (forge) {
        forge(zip);
    }
    f.write("class.zip", zip);
    return {f.path("class.zip"), f.path("class.zip") + ':' + member};
}

INSTANTIATE_TEST_SUITE_P(
    Report, FileNotReadWhole,
    testing::Values(
        NotReadCase{"Missing",
                    [](const Folder& f) {
                        const std::string path = f.path("send_0416Nobody.txt");
                        return std::pair(path, path);
                    },
                    "No such file or directory"},
        NotReadCase{"AFolderNamedAsASendFile",
                    [](const Folder& f) {
                        QDir(f.dir.path()).mkpath("in/send_0416Bo.txt");
                        return std::pair(f.path("in"), f.path("in/send_0416Bo.txt"));
                    },
                    "Is a directory"},
        // A kill at a page boundary can leave a record cut after its rating line.
        NotReadCase{
            "RecordCutAfterItsRatingLine",
            [](const Folder& f) {
                const std::string record = ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1,
                                                             q("001", 0).entry, "x") +
                                           ClassWriter::tail(Rating::confidence, "3");
                return cutFile(
                    f, record.substr(0, record.rfind(recordText::recordEndRule.toStdString())), "");
            },
            "expected a rating line or the closing dots; the record is skipped"},
        NotReadCase{"TornRecordWhoseLastLineLooksLikeARating",
                    [](const Folder& f) {
                        return cutFile(f,
                                       ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1,
                                                         q("001", 0).entry,
                                                         "x\r\nconfidence assessment:  3"),
                                       answered(FileRole::send, "001", 1, q("001", 1).entry,
                                                Rating::confidence));
                    },
                    "expected a rating line or the closing dots; the record is skipped"},
        NotReadCase{"TextNamedAsAnArchive",
                    [](const Folder& f) {
                        f.write("class.zip", "Hello! Here is my homework.\r\n");
                        return std::pair(f.path("class.zip"), f.path("class.zip"));
                    },
                    "Not a zip archive"},
        NotReadCase{"ArchiveCutShort",
                    [](const Folder& f) {
                        const std::string zip = zipBytes({{"send_0416Bo.txt", bosFile()}});
                        f.write("class.zip", zip.substr(0, zip.size() / 2));
                        return std::pair(f.path("class.zip"), f.path("class.zip"));
                    },
                    "not a whole ZIP archive: its end, which lists its files, is missing"},
        NotReadCase{
            "MissingArchive",
            [](const Folder& f) { return std::pair(f.path("none.zip"), f.path("none.zip")); },
            "No such file or directory"},
        NotReadCase{"MemberClimbingOut",
                    [](const Folder& f) { return bosArchive(f, "../x/send_0416Bo.txt"); },
                    "skipped: its path leads out of the archive's folder"},
        NotReadCase{"MemberWithAnAbsolutePath",
                    [](const Folder& f) { return bosArchive(f, "/x/send_0416Bo.txt"); },
                    "skipped: its path leads out of the archive's folder"},
        NotReadCase{"MemberClimbingOutWithBackslashes",
                    [](const Folder& f) { return bosArchive(f, "x\\..\\..\\send_0416Bo.txt"); },
                    "skipped: its path leads out of the archive's folder"},
        // A ZIP bomb: a member declared too large, one that holds more than
        // declared, and members that all unpack the same bytes.
        NotReadCase{"MemberDeclaredLargerThanAnySendFile",
                    [](const Folder& f) {
                        return bosArchive(f, "send_0416Bo.txt", [](std::string& zip) {
                            declareZipSize(zip, "send_0416Bo.txt", 300u << 20);
                        });
                    },
                    "not read: 300 MiB unpacked, more than any send file (256 MiB at most)"},
        // Declared as its opening record alone, which is read.
        NotReadCase{"MemberHoldingMoreThanDeclared",
                    [](const Folder& f) {
                        return bosArchive(f, "send_0416Bo.txt", [](std::string& zip) {
                            declareZipSize(zip, "send_0416Bo.txt", bosOpening());
                        });
                    },
                    "holds more than the archive declares (" + std::to_string(bosOpening()) +
                        " bytes); read up to there",
                    "Bo\n  assignment 001"},
        NotReadCase{
            "MembersDeclaringMoreThanTheArchiveHolds",
            [](const Folder& f) {
                std::string zip = zipBytes({{"send_0416Bo.txt", bosFile()},
                                            {"send_0417Bo.txt", bosFile()},
                                            {"send_0418Bo.txt", bosFile()}});
                for (const char* name : {"send_0416Bo.txt", "send_0417Bo.txt", "send_0418Bo.txt"}) {
                    declareZipSize(zip, name, 200u << 20);
                }
                f.write("class.zip", zip);
                return std::pair(f.path("class.zip"), f.path("class.zip"));
            },
            "its files would unpack to 600 MiB, more than an archive of its size can "
            "hold; not read"},
        NotReadCase{"DamagedMember",
                    [](const Folder& f) {
                        return bosArchive(
                            f, "send_0416Bo.txt",
                            [](std::string& zip) { zip[zip.find("BOCODE") + 5] ^= 1; }, false);
                    },
                    "CRC error"},
        // Shown as UTF-8, guessed as older ZIP programs wrote names, and what
        // a terminal takes as control replaced.
        NotReadCase{"MemberNamedInAnotherCodePage",
                    [](const Folder& f) {
                        f.write("class.zip", zipBytes({{"send_0416Bo\xe9.txt", "Hello!\r\n"}}));
                        return std::pair(f.path("class.zip"),
                                         f.path("class.zip") + ":send_0416Bo\u0398.txt:1");
                    },
                    "expected an opening record or the first rule of a record; the lines up to "
                    "the next record are skipped"},
        NotReadCase{"MemberNamedWithALineBreak",
                    [](const Folder& f) {
                        f.write("class.zip", zipBytes({{"send_0416Bo\nZed.txt", "Hello!\r\n"}}));
                        return std::pair(f.path("class.zip"),
                                         f.path("class.zip") + ":send_0416Bo\ufffdZed.txt:1");
                    },
                    "expected an opening record or the first rule of a record; the lines up to "
                    "the next record are skipped"},
        NotReadCase{"MemberNamedWithAnEscape",
                    [](const Folder& f) {
                        f.write("class.zip", zipBytes({{"send_0416Bo\x1b[2J.txt", "Hello!\r\n"}}));
                        return std::pair(f.path("class.zip"),
                                         f.path("class.zip") + ":send_0416Bo\u2190[2J.txt:1");
                    },
                    "expected an opening record or the first rule of a record; the lines up to "
                    "the next record are skipped"},
        NotReadCase{"MemberMarkedUtf8ButNot",
                    [](const Folder& f) {
                        std::string zip = zipBytes({{"send_0416Bo\xe9.txt", bosFile()}});
                        const ZipMemberAt at = zipMemberAt(zip, "send_0416Bo\xe9.txt");
                        zip[at.central + 9] |= 0x08;
                        zip[at.local + 7] |= 0x08;
                        f.write("class.zip", zip);
                        return std::pair(f.path("class.zip"), f.path("class.zip"));
                    },
                    "Zip archive inconsistent"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
