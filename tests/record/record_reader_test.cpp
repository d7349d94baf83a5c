#include "fixed_clock.h"
#include "record/record_reader.h"
#include "record/record_text.h"
#include "record/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace
{

using namespace std::string_literals;
using Rating = ResponseTail::Rating;

const QString kQuestion = QStringLiteral("`q004.  What is 2+2?\r\nShow your work.");
const QString kAnswer = QStringLiteral("It is 4.\r\n\r\n2 + 2 = 4.");

std::string opening(const std::string& code = "\xF0\x81\xFFqzR")
{
    return recordBytes(OpeningRecord{code, "assignment #003", "003.", "Precalculus I", kDate});
}

std::string response(FileRole role, const QString& entry, const QString& text, Rating rating,
                     const QString& reply, QTime time = kTime)
{
    return recordBytes(recordLines(ResponseHead{time, "003", "4", entry, text}, role)) +
           recordBytes(recordLines(ResponseTail{rating, reply}));
}

std::string note(FileRole role, const QString& entry, const QString& text)
{
    return recordBytes(recordLines(NoteRecord{kTime, QDateTime(kDate, kTime), entry, text}, role));
}

// What was read, in one line each, for comparing with what was written.
class Collect : public RecordSink
{
public:
    void opening(const ReadOpening& r) override
    {
        read.push_back("opening " + r.assignment + ' ' + r.header + ' ' + r.courseTitle + ' ' +
                       r.date.toString(Qt::ISODate).toStdString());
    }
    void entry(const ReadEntry& r) override
    {
        const char* kind = r.kind == ReadEntry::Kind::note    ? "note"
                           : r.rating == Rating::confidence   ? "confidence"
                           : r.rating == Rating::selfCritique ? "critique"
                                                              : "unrated";
        std::string line = std::string(kind) + " [" + r.text + "] [" + r.reply + "] [" +
                           r.entryFirstLine + "] " +
                           r.time.toString(QStringLiteral("HH:mm:ss")).toStdString();
        if (r.questionNumber) {
            line += " #" + std::to_string(*r.questionNumber);
        }
        if (r.date.isValid()) {
            line += ' ' + r.date.toString(Qt::ISODate).toStdString();
        }
        read.push_back(line);
        hashes.push_back(r.entryHash);
    }
    void problem(const ReadProblem& p) override
    {
        problems.push_back(std::to_string(p.line) + ": " + p.message);
    }
    std::vector<std::string> read;
    std::vector<std::uint64_t> hashes;
    std::vector<std::string> problems;
};

Collect readAll(const std::string& bytes)
{
    Collect c;
    readRecords(bytes, c);
    return c;
}

std::string lfOnly(std::string bytes)
{
    std::erase(bytes, '\r');
    return bytes;
}

struct ReadCase {
    const char* name;
    std::function<std::string()> bytes;
    std::vector<std::string> read;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReadBack : public testing::TestWithParam<ReadCase>
{
};

TEST_P(ReadBack, GivesWhatWasEntered)
{
    const std::string bytes = GetParam().bytes();
    for (const std::string& form : {bytes, lfOnly(bytes)}) {
        const Collect c = readAll(form);
        EXPECT_EQ(c.read, GetParam().read);
        EXPECT_TRUE(c.problems.empty()) << c.problems.front();
    }
}

const std::string kQ = "`q004.  What is 2+2?";

INSTANTIATE_TEST_SUITE_P(
    Records, ReadBack,
    testing::Values(
        ReadCase{"OpeningAndConfidence",
                 [] {
                     return opening() +
                            response(FileRole::send, kQuestion, "4", Rating::confidence, "2");
                 },
                 {"opening 003 003. Precalculus I 2026-04-16",
                  "confidence [4] [2] [" + kQ + "] 14:05:09"}},
        ReadCase{"MasterFileQuestionNumber",
                 [] { return response(FileRole::master, kQuestion, "4", Rating::confidence, "3"); },
                 {"confidence [4] [3] [" + kQ + "] 14:05:09 #30004"}},
        ReadCase{"CritiqueOfAWorkedAnswer",
                 [] {
                     return response(FileRole::send, kAnswer, "I forgot to check.",
                                     Rating::selfCritique, "1");
                 },
                 {"critique [I forgot to check.] [1] [It is 4.] 14:05:09"}},
        ReadCase{"CancelledRating",
                 [] { return response(FileRole::send, kQuestion, "5?", Rating::confidence, ""); },
                 {"confidence [5?] [] [" + kQ + "] 14:05:09"}},
        ReadCase{"ResponseBeforeAnyEntry",
                 [] { return response(FileRole::send, "", "hello", Rating::none, ""); },
                 {"unrated [hello] [] [] 14:05:09"}},
        ReadCase{"MultiLineResponseWithRecordLikeLines",
                 [] {
                     return response(FileRole::send, kQuestion,
                                     "line one\r\n\r\n" + recordText::recordEndRule +
                                         "\r\nconfidence assessment:  9\r\nlast",
                                     Rating::confidence, "0");
                 },
                 {"confidence [line one\n\n................................................."
                  "\nconfidence assessment:  9\nlast] [0] [" +
                  kQ + "] 14:05:09"}},
        ReadCase{"TwoNotesThenAResponse",
                 [] {
                     return opening() + note(FileRole::send, kQuestion, "first\r\nnote") +
                            note(FileRole::send, kAnswer, "second") +
                            response(FileRole::send, kQuestion, "4", Rating::confidence, "3");
                 },
                 {"opening 003 003. Precalculus I 2026-04-16",
                  "note [first\nnote] [] [" + kQ + "] 14:05:09 2026-04-16",
                  "note [second] [] [It is 4.] 14:05:09 2026-04-16",
                  "confidence [4] [3] [" + kQ + "] 14:05:09"}},
        ReadCase{
            "NoteRunsOnIntoTheNextOpening",
            [] { return note(FileRole::send, "", "n") + opening(); },
            {"note [n] [] [] 14:05:09 2026-04-16", "opening 003 003. Precalculus I 2026-04-16"}},
        ReadCase{
            "NotesFileEndsOpen",
            [] { return note(FileRole::notes, kQuestion, "a") + note(FileRole::notes, "", "b"); },
            {"note [a] [] [" + kQ + "] 14:05:09 2026-04-16", "note [b] [] [] 14:05:09 2026-04-16"}},
        ReadCase{"MasterNoteThenResponse",
                 [] {
                     return note(FileRole::master, kQuestion, "m") +
                            response(FileRole::master, kAnswer, "ok", Rating::selfCritique, "3");
                 },
                 {"note [m] [] [" + kQ + "] 14:05:09 2026-04-16",
                  "critique [ok] [3] [It is 4.] 14:05:09 #30004"}},
        ReadCase{"CharactersInTheirAsciiForm",
                 [] {
                     return response(
                         FileRole::send, kQuestion,
                         QString::fromUtf8("x \xE2\x86\x92 1, y \xE2\x89\xA0 2, caf\xC3\xA9"),
                         Rating::confidence, "1");
                 },
                 {"confidence [x -> 1, y != 2, caf\xC3\xA9] [1] [" + kQ + "] 14:05:09"}},
        ReadCase{"Utf8WithByteOrderMark",
                 [] {
                     std::string bytes =
                         response(FileRole::send, kQuestion, "caf", Rating::confidence, "2");
                     bytes.insert(bytes.find("caf") + 3, "\xC3\xA9");
                     return "\xEF\xBB\xBF" + bytes;
                 },
                 {"confidence [caf\xC3\xA9] [2] [" + kQ + "] 14:05:09"}}));

TEST(EntryHash, IsTheHashTheReaderGivesTheWrittenEntry)
{
    for (const QString& entry : {kQuestion, kAnswer, QString()}) {
        const Collect c = readAll(response(FileRole::send, entry, "x", Rating::confidence, "1"));
        ASSERT_EQ(c.hashes.size(), 1u);
        EXPECT_EQ(c.hashes[0], entryHash(entry));
    }
    EXPECT_NE(entryHash(kQuestion), entryHash(kAnswer));
}

struct BadCase {
    const char* name;
    std::function<std::string()> bytes;
    std::vector<std::string> problems;
    std::size_t recordsRead;
};

void PrintTo(const BadCase& c, std::ostream* os)
{
    *os << c.name;
}

class BadInput : public testing::TestWithParam<BadCase>
{
};

TEST_P(BadInput, IsToldOnceAndTheRestIsRead)
{
    const Collect c = readAll(GetParam().bytes());
    EXPECT_EQ(c.problems, GetParam().problems);
    EXPECT_EQ(c.read.size(), GetParam().recordsRead);
}

const std::string kRating = "expected a rating line or the closing dots; the record is skipped";
const std::string kJunk = "expected an opening record or the first rule of a record; the lines up "
                          "to the next record are skipped";

std::string good()
{
    return response(FileRole::send, kQuestion, "4", Rating::confidence, "2");
}

std::string head()
{
    return recordBytes(
        recordLines(ResponseHead{kTime, "003", "4", kQuestion, "4"}, FileRole::send));
}

INSTANTIATE_TEST_SUITE_P(
    Records, BadInput,
    testing::Values(
        // Lines 1-5 opening, 6-13 the head (two entry lines).
        BadCase{"TornAtTheEnd", [] { return opening() + head(); }, {"13: " + kRating}, 1},
        BadCase{"TornThenTheNextRun",
                [] { return opening() + head() + opening() + good(); },
                {"13: " + kRating},
                3},
        BadCase{"TornThenAResponse", [] { return head() + good(); }, {"8: " + kRating}, 1},
        BadCase{"NotARecordFile",
                [] { return std::string("Dear instructor,\r\nhere is my homework.\r\n"); },
                {"1: " + kJunk},
                0},
        BadCase{"BinaryJunkBeforeARecord",
                [] { return "\x00\xFF\x01\n\x7F\x80\x00junk\r\n"s + good(); },
                {"1: " + kJunk},
                1},
        BadCase{"TenMegabyteLine",
                [] { return opening() + std::string(10 << 20, 'x') + "\r\n" + good(); },
                {"6: expected a line of at most 4 MiB; the lines up to the next record are "
                 "skipped"},
                2},
        BadCase{"TenMegabytesWithNoLineEnd",
                [] { return std::string(10 << 20, '\0'); },
                {"1: expected a line of at most 4 MiB; the lines up to the next record are "
                 "skipped"},
                0},
        BadCase{
            "TimeLineMissing",
            [] {
                return recordBytes(RecordLines{{recordText::recordStartRule, "14:05"}}) + good();
            },
            {"2: expected the time line, 36 spaces and a time such as 14:05:09; the record "
             "is skipped"},
            1},
        BadCase{"ResponseLabelMissing",
                [] {
                    std::string bytes = good();
                    bytes.replace(bytes.find("RESPONSE"), 8, "ANSWER");
                    return bytes + good();
                },
                {"6: expected \"RESPONSE -->\"; the record is skipped"},
                1},
        BadCase{"OpeningWithoutItsDate",
                [] {
                    std::string bytes = opening();
                    bytes.replace(bytes.find("04-16-2026"), 10, "2026-04-16");
                    return bytes + good();
                },
                {"5: expected the date of the opening record, such as 04-16-2026; the record is "
                 "skipped"},
                1},
        BadCase{"OpeningCutShort",
                [] {
                    const std::string bytes = opening();
                    return bytes.substr(0, bytes.find("Precalculus"));
                },
                {"4: expected the course title; the record is skipped"},
                0},
        // A kill at a page boundary can cut a record after its rating line.
        BadCase{"CutAfterItsRatingLine",
                [] {
                    const std::string bytes = opening() + good();
                    return bytes.substr(0, bytes.rfind(recordText::recordEndRule.toStdString()));
                },
                {"14: " + kRating},
                1},
        BadCase{"TornWhereTheTextEndsInARatingLikeLine",
                [] {
                    return recordBytes(recordLines(ResponseHead{kTime, "003", "4", kQuestion,
                                                                "4\r\nconfidence assessment:  3"},
                                                   FileRole::send)) +
                           good();
                },
                {"9: " + kRating},
                1},
        BadCase{"NoteWithoutItsClosingDots",
                [] {
                    const std::string bytes = note(FileRole::send, kQuestion, "n");
                    return bytes.substr(0, bytes.rfind(recordText::recordEndRule.toStdString()));
                },
                {"8: expected the closing dots of the note; the record is skipped"},
                0}));

// A file cut anywhere in its last record, as a kill can leave it: the record
// is read whole only when no more than the line end of its closing dots is
// cut, otherwise told once, and no line past the end is told.
TEST(CutRecord, AtEveryByteOfTheLastIsReadWholeOrToldOnce)
{
    const std::string before = opening() + good();
    for (const FileRole role : {FileRole::send, FileRole::master}) {
        const std::string last = response(role, kAnswer, "I forgot\r\nto check.",
                                          Rating::selfCritique, "1", kTime.addSecs(60));
        const Collect whole = readAll(before + last);
        ASSERT_EQ(whole.read.size(), 3u);
        ASSERT_TRUE(whole.problems.empty());
        for (std::size_t cut = 0; cut < last.size(); ++cut) {
            const std::string bytes = before + last.substr(0, cut);
            const Collect c = readAll(bytes);
            const bool kept = cut + 2 >= last.size();
            const std::size_t read = kept ? 3 : 2;
            EXPECT_EQ(c.read, std::vector(whole.read.begin(), whole.read.begin() + read)) << cut;
            EXPECT_EQ(c.problems.size(), kept || cut == 0 ? 0u : 1u) << cut;
            const auto lines =
                static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) +
                (bytes.ends_with('\n') ? 0 : 1);
            for (const std::string& problem : c.problems) {
                EXPECT_LE(std::stoul(problem), lines + 1) << cut << ' ' << problem;
            }
        }
    }
}

} // namespace
