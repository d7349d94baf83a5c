#include "report_fixture.h"

#include "report/csv_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct CsvCase {
    const char* name;
    QString response;
    std::string field;
    std::string student = "Ann";
    bool forSpreadsheets = false; // --csv-bom
};

class CsvField : public testing::TestWithParam<CsvCase>
{
};

TEST_P(CsvField, IsQuotedAsRfc4180Asks)
{
    Folder folder;
    const QString file =
        "send_0416" + QString::fromStdString(GetParam().student).replace(u' ', u'_') + ".txt";
    folder.write(file,
                 ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1, "", GetParam().response) +
                     ClassWriter::tail(Rating::none, ""));
    ReportOptions options{{folder.path(file)}, false, folder.path("out.csv"), {}};
    options.csvBom = GetParam().forSpreadsheets;
    report(options);
    QByteArray csv = folder.read("out.csv");
    if (options.csvBom) {
        ASSERT_TRUE(csv.startsWith(kUtf8Bom.data()));
        csv.remove(0, static_cast<qsizetype>(kUtf8Bom.size()));
    }
    const std::string expected = ",other,," + GetParam().field + ",\r\n";
    EXPECT_TRUE(csv.endsWith(QByteArray::fromStdString(expected))) << csv.toStdString();
    const auto rows = csvRows(csv.toStdString());
    ASSERT_EQ(rows.size(), 2u) << csv.toStdString();
    ASSERT_EQ(rows[1].size(), 10u) << csv.toStdString();
    const std::string guard = GetParam().forSpreadsheets && GetParam().student[0] == '=' ? "'" : "";
    EXPECT_EQ(rows[1][0], guard + GetParam().student);
    EXPECT_EQ(rows[1][1], folder.path(file));
}

INSTANTIATE_TEST_SUITE_P(
    Report, CsvField,
    testing::Values(
        CsvCase{"Plain", "x = 2", "x = 2"}, CsvCase{"Comma", "1, 2", "\"1, 2\""},
        CsvCase{"Quote", "a \"b\"", "\"a \"\"b\"\"\""}, CsvCase{"LineBreaks", "a\r\nb", "\"a\nb\""},
        // A name the program takes, and one only a
        // file renamed by hand can give.
        CsvCase{"NameWithAComma", "x", "x", "Lee, Ann"},
        CsvCase{"NameWithAQuote", "x", "x", "Ann \"Jo\" Lee"},
        // For a spreadsheet, what a student typed is never
        // a formula; for scripts, it stays as typed.
        CsvCase{"FormulaForScripts", "=1+1", "=1+1"},
        CsvCase{"FormulaForASpreadsheet", "=1+1", "'=1+1", "Ann", true},
        CsvCase{"QuotedFormula", "=HYPERLINK(\"x\",\"y\")", "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\"",
                "Ann", true},
        CsvCase{"Plus", "+x", "'+x", "Ann", true}, CsvCase{"Minus", "-3", "'-3", "Ann", true},
        CsvCase{"At", "@a", "'@a", "Ann", true}, CsvCase{"Tab", "\tx", "'\tx", "Ann", true},
        CsvCase{"MinusInside", "x-3", "x-3", "Ann", true},
        CsvCase{"NameAsAFormula", "x", "x", "=cmd", true}),
    [](const auto& param) { return std::string(param.param.name); });

struct GuardCase {
    const char* name;
    std::string csv;
    std::string guarded;
    char delimiter = ',';
};

class FormulaGuard : public testing::TestWithParam<GuardCase>
{
};

TEST_P(FormulaGuard, BeginsEveryFormulaWithAnApostrophe)
{
    EXPECT_EQ(guardedFromFormulas(GetParam().csv, GetParam().delimiter), GetParam().guarded);
}

INSTANTIATE_TEST_SUITE_P(
    Report, FormulaGuard,
    testing::Values(
        GuardCase{"EachFieldOfEachRow", "=a,+b,c\r\n-d,@e\r\n", "'=a,'+b,c\r\n'-d,'@e\r\n"},
        GuardCase{"InsideQuotes", "\"=a,b\",\"\rx\"\r\n", "\"'=a,b\",\"'\rx\"\r\n"},
        GuardCase{"QuotesInsideAField", "\"a \"\"=b\"\"\",=c\r\n", "\"a \"\"=b\"\"\",'=c\r\n"},
        GuardCase{"LineBreakInsideQuotes", "\"a\n=b\",c\r\n", "\"a\n=b\",c\r\n"},
        GuardCase{"EmptyFieldsAndRowEnds", ",,\r\n\r\n", ",,\r\n\r\n"},
        GuardCase{"EmptyQuotedField", "\"\",x\r\n", "\"\",x\r\n"},
        GuardCase{"TabsPartFieldsOfATabFile", "=a\t\t-b\r\n", "'=a\t\t'-b\r\n", '\t'},
        GuardCase{"TabBeginsAFieldOfACommaFile", "\tx,y\r\n", "'\tx,y\r\n"},
        GuardCase{"NumbersStay", "12,0.5,2026-04-16\r\n", "12,0.5,2026-04-16\r\n"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
