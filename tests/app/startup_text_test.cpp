#include "app/startup_text.h"
#include "qt_printers.h"
#include "record/student_records.h"
#include "text/line_ends.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>

namespace
{

struct NumberCase {
    const char* name;
    const char16_t* text;
    double value;
};

class NumericValue : public testing::TestWithParam<NumberCase>
{
};

TEST_P(NumericValue, ReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(numericValue(QString::fromUtf16(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumericValue,
    testing::Values(NumberCase{"Empty", u"", 0}, NumberCase{"Digits", u"005", 5},
                    NumberCase{"LeadingBlanks", u"   12", 12}, NumberCase{"LeadingTab", u"\t7", 7},
                    NumberCase{"TrailingText", u"7a", 7}, NumberCase{"Letters", u"abc", 0},
                    NumberCase{"Negative", u"-1", -1}, NumberCase{"PlusSign", u"+4", 4},
                    NumberCase{"Decimal", u"2.5x", 2.5}, NumberCase{"LeadingPoint", u".5", 0.5},
                    NumberCase{"PointAlone", u".", 0}, NumberCase{"SignAlone", u"-", 0},
                    NumberCase{"Exponent", u"1e3", 1000}, NumberCase{"ExponentD", u"2D2", 200},
                    NumberCase{"NegativeExponent", u"5E-1", 0.5},
                    NumberCase{"ExponentWithoutDigits", u"3e", 3},
                    NumberCase{"ExponentSignWithoutDigits", u"3e+x", 3},
                    NumberCase{"QuestionMarkerText", u"001.  Note that", 1},
                    NumberCase{"QuestionTwelve", u"012.  Find", 12},
                    NumberCase{"BlankInsideStops", u"1 2", 1},
                    NumberCase{"TooLargeReadsZero", u"1e999", 0},
                    NumberCase{"FullWidthDigitsAreNoNumber", u"\uFF15", 0}),
    [](const testing::TestParamInfo<NumberCase>& param) { return param.param.name; });

TEST(NumberText, WholeAndFractionalNumbers)
{
    EXPECT_EQ(numberText(6), "6");
    EXPECT_EQ(numberText(100), "100");
    EXPECT_EQ(numberText(-3), "-3");
    EXPECT_EQ(numberText(2.5), "2.5");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(10010001), "10010001");
}

struct AssignmentCase {
    const char* name;
    const char* reply;
    const char* filled;
    const char* next;
};

class AssignmentNumbers : public testing::TestWithParam<AssignmentCase>
{
};

TEST_P(AssignmentNumbers, ZeroFillAndNext)
{
    const QString filled = zeroFill(QString::fromUtf8(GetParam().reply));
    EXPECT_EQ(filled, QString::fromUtf8(GetParam().filled));
    EXPECT_EQ(nextAssignmentNumber(filled), QString::fromUtf8(GetParam().next));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, AssignmentNumbers,
    testing::Values(AssignmentCase{"OneDigit", "5", "005", "006"},
                    AssignmentCase{"TwoDigits", "12", "012", "013"},
                    AssignmentCase{"ThreeDigits", "015", "015", "016"},
                    AssignmentCase{"NinetyNine", "99", "099", "100"},
                    AssignmentCase{"FourDigits", "0005", "0005", "006"},
                    AssignmentCase{"Empty", "", "", "001"},
                    AssignmentCase{"DigitAndLetter", "7a", "07a", "008"},
                    AssignmentCase{"LeadingBlank", " 1", "0 1", "001"},
                    AssignmentCase{"Letters", "abc", "abc", "001"},
                    AssignmentCase{"Negative", "-1", "0-1", "001"},
                    AssignmentCase{"OneNonAsciiCharacter", "\xc3\xa9", "00\xc3\xa9", "001"}),
    [](const testing::TestParamInfo<AssignmentCase>& param) { return param.param.name; });

TEST(SafeFileName, RefusesWindowsReservedAndControlCharacters)
{
    EXPECT_TRUE(isSafeFileName(""));
    EXPECT_TRUE(isSafeFileName(" Ann  Lee "));
    EXPECT_TRUE(isSafeFileName(".."));
    EXPECT_TRUE(isSafeFileName(QString::fromUtf8("Zo\xc3\xab \xe6\x9d\x8e")));
    for (const char16_t c : std::u16string_view(kForbiddenNameCharacters)) {
        EXPECT_FALSE(isSafeFileName(QStringLiteral("Ann") + QChar(c))) << char(c);
    }
    for (const char16_t c : {u'\t', u'\n', u'\r', u'\x01', u'\x7f'}) {
        EXPECT_FALSE(isSafeFileName(QStringLiteral("Ann") + QChar(c))) << int(c);
    }
}

TEST(RecordPaths, NameDateAndFolderJoinedAsTyped)
{
    const QDate april16(2026, 4, 16);
    const auto plain = composeRecordPaths("/home/ann/tutrdata", "Ann Lee", april16, u'/');
    EXPECT_EQ(plain.master, "/home/ann/tutrdata/masterFile_Ann_Lee.txt");
    EXPECT_EQ(plain.send, "/home/ann/tutrdata/send_0416Ann_Lee.txt");
    EXPECT_EQ(plain.notes, "/home/ann/tutrdata/notes_Ann_Lee.txt");

    const auto blanks = composeRecordPaths("/w", " Ann  Lee ", QDate(2026, 12, 7), u'/');
    EXPECT_EQ(blanks.master, "/w/masterFile__Ann__Lee_.txt");
    EXPECT_EQ(blanks.send, "/w/send_1207_Ann__Lee_.txt");

    const auto trailing = composeRecordPaths("/d/work/", "Ann", april16, u'/');
    EXPECT_EQ(trailing.master, "/d/work//masterFile_Ann.txt");

    const auto empty = composeRecordPaths("/w", "", april16, u'/');
    EXPECT_EQ(empty.master, "/w/masterFile_.txt");
    EXPECT_EQ(empty.send, "/w/send_0416.txt");
    EXPECT_EQ(empty.notes, "/w/notes_.txt");
}

TEST(DefaultPrompt, IsTheInstructionTextWordForWord)
{
    const QString text = defaultPromptText();
    EXPECT_EQ(text.size(), 502);
    const auto parts = text.split(QStringLiteral("\r\n\r\n"));
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0].size(), 193);
    EXPECT_EQ(parts[1].size(), 305);
    EXPECT_TRUE(parts[0].startsWith("Enter, as appropriate, an answer to the question,"));
    EXPECT_TRUE(parts[0].endsWith("notes to yourself, or just an OK."));
    EXPECT_TRUE(parts[1].contains("any insights you had or errors you makde, and by"));
    EXPECT_TRUE(parts[1].contains("certain errors.  Also pose"));
    EXPECT_TRUE(parts[1].endsWith("related to the problem or series of problems."));
}

TEST(PromptTexts, NameTheDefaultFolder)
{
    EXPECT_EQ(namePrompt(), "Your full name:  ");
    EXPECT_EQ(assignmentPrompt(), "Assignment Number:  ");
    EXPECT_EQ(changeFolderQuestion("/home/ann/tutrdata"),
              "Enter 1 if you want to change the folder to which your files will be written.  "
              "The current default folder is /home/ann/tutrdata.  If you wish to use this "
              "folder, just hit the Enter key");
    EXPECT_EQ(changeFolderPrompt("/home/ann/tutrdata"),
              "You have chosen to change the folder to which your files will be written on your "
              "hard drive from the default /home/ann/tutrdata.  Enter the path to the folder you "
              "wish to use.  You may just hit the Enter key to retain the default path.");
    EXPECT_TRUE(unsafeNameMessage().contains(R"(\ / : * ? " < > |)"));
    EXPECT_EQ(nameTooLongMessage(),
              "This name is too long, because it becomes part of the names of your files: a name "
              "can have at most 233 characters (fewer if it has accented letters or letters of "
              "other alphabets). Please type a shorter name.");
    EXPECT_EQ(alreadyOpenMessage("Ann Lee", "/home/ann/tutrdata"),
              "qa-tutor is already open for Ann Lee with the folder /home/ann/tutrdata. Please go "
              "on in that window: this one closes now, with nothing written.");
    const QString dropped = QString::fromUtf8("C:\\Users\\Jos\xc3\xa9\\send_1209\xe7\x8e\x8b.txt");
    EXPECT_EQ(argumentRefusedMessage(dropped),
              "qa-tutor was started with \"" + dropped +
                  "\", which it does not take: it takes no arguments but --help and --version. "
                  "Start it from the Start menu, or double-click qa-tutor.exe without dropping a "
                  "file on it.");
    EXPECT_EQ(folderFailedPrompt("/mnt/usb", "Permission denied"),
              "Your files cannot be written in the folder /mnt/usb: Permission denied. Enter the "
              "path to another folder for your files. An empty reply or Cancel ends the program "
              "with nothing written.");
}

struct NameCase {
    const char* name;
    QString fullName;
    std::optional<QString> refused; // the message, or none when the name is taken
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.name;
}

class NameAtThePrompt : public testing::TestWithParam<NameCase>
{
};

TEST_P(NameAtThePrompt, TakenOrRefusedWithTheReason)
{
    EXPECT_EQ(refusedNameMessage(GetParam().fullName), GetParam().refused);
}

// The longest file name is the lock's, taken over through ".rmlock":
// ".qa-tutor-" + name + ".lock.rmlock", 22 bytes besides the name.
INSTANTIATE_TEST_SUITE_P(
    Names, NameAtThePrompt,
    testing::Values(
        NameCase{"Empty", "", std::nullopt}, NameCase{"Blanks", " Ann  Lee ", std::nullopt},
        NameCase{"Longest", QString(233, u'n'), std::nullopt},
        NameCase{"OneTooMany", QString(234, u'n'), nameTooLongMessage()},
        NameCase{"LongestInBlanks", QString(233, u' '), std::nullopt},
        NameCase{"TwoByteLettersLongest", QString(116, QChar(0xe9)), std::nullopt},
        NameCase{"TwoByteLettersOneTooMany", QString(116, QChar(0xe9)) + "nn",
                 nameTooLongMessage()},
        NameCase{"ThreeByteLettersOneTooMany", QString(78, QChar(0x4e2d)), nameTooLongMessage()},
        NameCase{"FourByteLettersLongest", QString::fromUtf8("\xf0\x9f\x98\x80").repeated(58),
                 std::nullopt},
        NameCase{"FourByteLettersOneTooMany", QString::fromUtf8("\xf0\x9f\x98\x80").repeated(59),
                 nameTooLongMessage()},
        NameCase{"UnsafeBeforeLong", QString(300, u'/'), unsafeNameMessage()},
        NameCase{"Unsafe", "a|b", unsafeNameMessage()}),
    [](const testing::TestParamInfo<NameCase>& param) { return param.param.name; });

TEST(LockFile, HiddenAndUnlikeARecordFile)
{
    EXPECT_EQ(lockFileName(" Ann  Lee "), ".qa-tutor-_Ann__Lee_.lock");
    EXPECT_EQ(lockFileName(""), ".qa-tutor-.lock");
}

TEST(LineEnds, CrLfShownAsLf)
{
    EXPECT_EQ(withBoxLineEnds(""), "");
    EXPECT_EQ(withBoxLineEnds("a\r\n\r\nb\r\n"), "a\n\nb\n");
    // A CR that starts no CR LF pair stays as it is.
    EXPECT_EQ(withBoxLineEnds("a\rb\r"), "a\rb\r");
    EXPECT_EQ(withBoxLineEnds("\r\r\n"), "\r\n");
}

} // namespace
