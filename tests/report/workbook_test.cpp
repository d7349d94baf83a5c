// The workbook and the grades, read back as a spreadsheet program and a
// gradebook import read them.
#include "report_fixture.h"
#include "workbook_reading.h"

#include "report/csv_writer.h"
#include "report/workbook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace
{

using Kind = ReadCell::Kind;

// Excel's dates count days from 1899-12-30.
std::string excelDay(QDate date)
{
    return std::to_string(QDate(1899, 12, 30).daysTo(date));
}

bool holdsFormula(const ReadBook& book)
{
    for (const ReadSheet& sheet : book.sheets) {
        for (const auto& [place, cell] : sheet.cells) {
            if (cell.kind == Kind::formula) {
                return true;
            }
        }
    }
    return false;
}

struct TypedCase {
    const char* name;
    QString response;
    QString rating;    // typed at the confidence prompt
    Kind ratingKind;   // as the sheet holds it
    std::string shown; // the rating's cell; empty when there is none
    QString student = "Ann";
};

void PrintTo(const TypedCase& c, std::ostream* os)
{
    *os << c.name;
}

class ResponsesSheet : public testing::TestWithParam<TypedCase>
{
};

TEST_P(ResponsesSheet, HoldsWhatWasTypedAsText)
{
    const TypedCase& c = GetParam();
    Folder folder;
    const QString file = "send_0416" + QString(c.student).replace(u' ', u'_') + ".txt";
    folder.write(file, writer().opening("001", kDay, "RUN") +
                           ClassWriter::head(FileRole::send, QTime(9, 0), "001", q("001", 1).number,
                                             q("001", 1).entry, c.response) +
                           ClassWriter::tail(Rating::confidence, c.rating));
    ReportOptions options{{folder.path(file)}, false, {}, {}};
    options.xlsx = folder.path("class.xlsx");
    const Outcome r = report(options);
    EXPECT_EQ(r.status, 0) << r.err;
    const ReadBook book = readWorkbook(options.xlsx);
    ASSERT_TRUE(book.read);
    EXPECT_FALSE(holdsFormula(book));
    const ReadSheet* sheet = book.sheet("Responses");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->rows, 2);
    EXPECT_EQ(sheet->frozenRows, 1);
    EXPECT_EQ(sheet->filter, "A1:J2");
    EXPECT_EQ(sheet->row(0, 10),
              (std::vector<std::string>{"student", "file", "date", "time", "assignment", "question",
                                        "kind", "rating", "response", "entry"}));
    const auto cell = [&](int column) {
        const ReadCell* found = sheet->at(1, column);
        return found ? *found : ReadCell{Kind::text, "(none)", {}, {}};
    };
    EXPECT_EQ(cell(0).text, c.student.toStdString());
    EXPECT_EQ(cell(0).kind, Kind::text);
    for (const auto& [column, code] : {std::pair(4, "001"), std::pair(5, "002")}) {
        EXPECT_EQ(cell(column).kind, Kind::text) << column;
        EXPECT_EQ(cell(column).text, code);
    }
    EXPECT_EQ(cell(2).kind, Kind::number);
    EXPECT_EQ(cell(2).text, excelDay(kDay));
    EXPECT_EQ(cell(2).format, "yyyy-mm-dd");
    EXPECT_EQ(cell(3).text, "0.375"); // nine o'clock
    EXPECT_EQ(cell(3).format, "hh:mm:ss");
    EXPECT_EQ(cell(8).kind, Kind::text);
    EXPECT_TRUE(cell(8).wrapped);
    EXPECT_EQ(cell(8).text, QString(c.response).replace("\r\n", "\n").toStdString());
    if (c.shown.empty()) {
        EXPECT_EQ(sheet->at(1, 7), nullptr);
    } else {
        EXPECT_EQ(cell(7).kind, c.ratingKind);
        EXPECT_EQ(cell(7).text, c.shown);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Report, ResponsesSheet,
    testing::Values(TypedCase{"Plain", "x = 2", "2", Kind::number, "2"},
                    // What a spreadsheet would take for a formula.
                    TypedCase{"Equals", "=1+1", "3", Kind::number, "3"},
                    TypedCase{"Plus", "+x", "0", Kind::number, "0"},
                    TypedCase{"Minus", "-3", "1", Kind::number, "1"},
                    TypedCase{"At", "@a", "2", Kind::number, "2"},
                    TypedCase{"Accents", "\u00BD \u00B1 \u00BE", "2", Kind::number, "2",
                              "Jos\u00E9 N\u00FA\u00F1ez"},
                    TypedCase{"LineBreaks", "a\r\nb", "2", Kind::number, "2"},
                    // Excel reads _x0041_ in a text as "A" unless it is escaped.
                    TypedCase{"ExcelEscape", "_x0041_ and _x00e9_", "2", Kind::number, "2"},
                    TypedCase{"ControlCharacter", "a\x01z", "2", Kind::number, "2"},
                    TypedCase{"RatingWithBlanks", "x", " 2 ", Kind::number, "2"},
                    TypedCase{"InvalidRatingAsTyped", "x", "5", Kind::text, "5"},
                    TypedCase{"InvalidRatingNotADigit", "x", "x", Kind::text, "x"},
                    TypedCase{"NoRating", "x", "", Kind::text, ""}),
    [](const auto& param) { return std::string(param.param.name); });

// CSV text given straight to a workbook.
struct RowsCase {
    const char* name;
    std::vector<std::string> texts;
    std::uint32_t sheetRows;
    // Per sheet, its name and its rows' first two fields after the header.
    std::vector<std::pair<std::string, std::vector<std::vector<std::string>>>> sheets;
};

void PrintTo(const RowsCase& c, std::ostream* os)
{
    *os << c.name;
}

class WorkbookRows : public testing::TestWithParam<RowsCase>
{
};

TEST_P(WorkbookRows, AreTheCsvRowsInOrder)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("rows.xlsx").toStdString();
    std::string error;
    auto workbook = Workbook::open(path, error, GetParam().sheetRows);
    ASSERT_TRUE(workbook) << error;
    workbook->write(GetParam().texts);
    EXPECT_EQ(workbook->close(), "");
    const ReadBook book = readWorkbook(path);
    ASSERT_TRUE(book.read);
    ASSERT_EQ(book.sheets.size(), GetParam().sheets.size());
    for (std::size_t s = 0; s < GetParam().sheets.size(); ++s) {
        const auto& [name, rows] = GetParam().sheets[s];
        EXPECT_EQ(book.sheets[s].name, name);
        EXPECT_EQ(book.sheets[s].rows, static_cast<int>(rows.size()) + 1) << name;
        EXPECT_EQ(book.sheets[s].row(0, 1), std::vector<std::string>{"student"}) << name;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            EXPECT_EQ(book.sheets[s].row(static_cast<int>(r) + 1, 2), rows[r]) << name << r;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Report, WorkbookRows,
    testing::Values(
        RowsCase{"QuotedAsTheCsvQuotes",
                 {"\"Lee, Ann\",\"a \"\"b\"\"\r\nc\",,,,,,,,\r\nBo,f,,,,,,,,\r\n"},
                 Workbook::kSheetRows,
                 {{"Responses", {{"Lee, Ann", "a \"b\"\r\nc"}, {"Bo", "f"}}}}},
        RowsCase{"SeveralTextsInOrder",
                 {"A,1,,,,,,,,\r\n", "", "B,2,,,,,,,,\r\nC,3,,,,,,,,\r\n"},
                 Workbook::kSheetRows,
                 {{"Responses", {{"A", "1"}, {"B", "2"}, {"C", "3"}}}}},
        // Past a sheet's last row the rows go on on another sheet.
        RowsCase{"FullSheetGoesOnOnAnother",
                 {"A,1,,,,,,,,\r\nB,2,,,,,,,,\r\nC,3,,,,,,,,\r\n"},
                 3,
                 {{"Responses", {{"A", "1"}, {"B", "2"}}}, {"Responses 2", {{"C", "3"}}}}},
        // A file's name need not be UTF-8: what is not becomes U+FFFD, so that
        // the workbook stays readable.
        RowsCase{
            "InvalidUtf8",
            {"Ann\xFF,\xC0\xAF\xED\xA0\x80 ok \xE2\x82,,,,,,,,\r\n"},
            Workbook::kSheetRows,
            {{"Responses", {{"Ann\uFFFD", "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD ok \uFFFD\uFFFD"}}}}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(WorkbookText, LongerThanACellHoldsIsCutAndTheCutTold)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("long.xlsx").toStdString();
    std::string error;
    auto workbook = Workbook::open(path, error);
    ASSERT_TRUE(workbook) << error;
    // Characters past U+FFFF count twice in Excel's limit.
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "\U0001F600";
    }
    workbook->write({"Ann," + text + ",,,,,,,,\r\n"});
    EXPECT_EQ(workbook->close(), "");
    const ReadBook book = readWorkbook(path);
    ASSERT_TRUE(book.read);
    const ReadCell* cell = book.sheets.at(0).at(1, 1);
    ASSERT_NE(cell, nullptr);
    const QString read = QString::fromStdString(cell->text);
    EXPECT_LE(read.size(), 32767);
    EXPECT_GT(read.size(), 32000);
    EXPECT_TRUE(read.startsWith(QString::fromStdString(text.substr(0, 4000))));
    EXPECT_TRUE(read.endsWith("(cut: a cell holds 32767 characters)"))
        << read.right(60).toStdString();
}

// A class by hand: Bo in need, Cy with an invalid rating, Ann pressing
// Enter twice at a critique, the second time with nothing typed.
void writeGradedClass(const Folder& folder)
{
    const auto response = [](const char* a, int i, int minute, const QString& rating) {
        return ClassWriter::head(FileRole::send, QTime(9, minute), a, q(a, i).number, q(a, i).entry,
                                 "my answer") +
               ClassWriter::tail(Rating::confidence, rating);
    };
    const auto critique = [](const char* a, int i, int minute, const QString& text,
                             const QString& rating) {
        return ClassWriter::head(FileRole::send, QTime(9, minute), a, q(a, i).number,
                                 q(a, i).answer, text) +
               ClassWriter::tail(Rating::selfCritique, rating);
    };
    folder.write("send_0416Ann_Lee.txt",
                 writer().opening("001", kDay, "A1") + response("001", 0, 1, "3") +
                     critique("001", 0, 2, "fine", "2") + response("001", 1, 3, "2") +
                     critique("001", 1, 4, "ok", "3") + critique("001", 1, 5, "", "0"));
    folder.write("send_0417Ann_Lee.txt", writer().opening("002", kDay.addDays(1), "A2") +
                                             response("002", 0, 1, "1") +
                                             response("002", 1, 2, ""));
    folder.write("send_0416Bo_Chen.txt",
                 writer().opening("001", kDay, "B1") + response("001", 0, 1, "0") +
                     critique("001", 0, 2, "I did not get it", "1") + response("001", 1, 3, "1"));
    folder.write("send_0418Bo_Chen.txt",
                 writer().opening("001", kDay.addDays(2), "B2") + response("001", 0, 1, "1"));
    folder.write("send_0416Cy_Diaz.txt",
                 writer().opening("001", kDay, "C1") + response("001", 0, 1, "x") +
                     critique("001", 0, 2, "ok", "3") + response("001", 2, 3, "0"));
}

constexpr std::string_view kGrades =
    "student,001 answered,001 of,001 critiques,001 mean confidence,001 mean critique,"
    "001 last run,002 answered,002 of,002 critiques,002 mean confidence,002 mean critique,"
    "002 last run\r\n"
    "Bo Chen,2,10,1,1.00,1.00,2026-04-18,0,8,0,,,\r\n"
    "Cy Diaz,2,10,1,0.00,3.00,2026-04-16,0,8,0,,,\r\n"
    "Ann Lee,2,10,2,2.50,2.50,2026-04-16,2,8,0,1.00,,2026-04-17\r\n";

ReportOptions gradedClass(const Folder& folder)
{
    writeGradedClass(folder);
    ReportOptions options{{folder.dir.path().toStdString()}, false, {}, {}};
    options.xlsx = folder.path("class.xlsx");
    options.grades = folder.path("grades.csv");
    return options;
}

TEST(Grades, OfASmallClassAsComputedByHand)
{
    Folder folder;
    const Outcome r = report(gradedClass(folder));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(folder.read("grades.csv").toStdString(), kGrades);
}

// One cell of the small class's workbook.
struct SheetCellCase {
    const char* name;
    std::string sheet;
    int row;
    int column;
    Kind kind;
    std::string text; // empty: no cell
    std::string fill = {};
    std::string format = {};
};

void PrintTo(const SheetCellCase& c, std::ostream* os)
{
    *os << c.name;
}

class WorkbookOfAClass : public testing::TestWithParam<SheetCellCase>
{
};

// The contrast of two colours ("FFFFFF"; empty for the default, black), as
// WCAG 2.1 defines it.
double contrast(const std::string& a, const std::string& b)
{
    const auto luminance = [](const std::string& colour) {
        const unsigned long rgb = colour.empty() ? 0 : std::stoul(colour, nullptr, 16);
        const auto linear = [rgb](int shift) {
            const double c = static_cast<double>(rgb >> shift & 0xff) / 255;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(16) + 0.7152 * linear(8) + 0.0722 * linear(0);
    };
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
    return (light + 0.05) / (dark + 0.05);
}

// Read once for all the cases.
const ReadBook& gradedBook()
{
    static const ReadBook book = [] {
        const Folder folder;
        const ReportOptions options = gradedClass(folder);
        const Outcome r = report(options);
        EXPECT_EQ(r.status, 0) << r.err;
        return readWorkbook(options.xlsx);
    }();
    return book;
}

TEST_P(WorkbookOfAClass, HoldsTheGridsAndTheGradebook)
{
    const ReadBook& book = gradedBook();
    ASSERT_TRUE(book.read);
    std::vector<std::string> names;
    for (const ReadSheet& sheet : book.sheets) {
        names.push_back(sheet.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Responses", "Assignment 001", "Assignment 002",
                                               "Gradebook"}));
    const SheetCellCase& c = GetParam();
    const ReadSheet* sheet = book.sheet(c.sheet);
    ASSERT_NE(sheet, nullptr);
    const ReadCell* cell = sheet->at(c.row, c.column);
    if (c.text.empty()) {
        EXPECT_EQ(cell, nullptr);
        return;
    }
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->kind, c.kind);
    EXPECT_EQ(cell->text, c.text);
    EXPECT_EQ(cell->fill, c.fill);
    EXPECT_EQ(cell->format, c.format);
    // Each colour's text reads as on the page: 4.5:1 at least.
    if (!cell->fill.empty()) {
        EXPECT_GE(contrast(cell->fill, cell->font), 4.5) << cell->font << " on " << cell->fill;
    }
}

// The grids' rows: Bo Chen, Cy Diaz, Ann Lee, a blank row, the tallies; a
// question's column is its number. The gradebook's columns are those of the
// grades CSV.
INSTANTIATE_TEST_SUITE_P(
    Report, WorkbookOfAClass,
    testing::Values(
        SheetCellCase{"QuestionOfTheCourseNotAnswered", "Assignment 001", 0, 10, Kind::text,
                      "q010"},
        SheetCellCase{"LatestResponseShown", "Assignment 001", 1, 1, Kind::text, "1 / 1", "F2A33A"},
        SheetCellCase{"NotCritiquedYet", "Assignment 001", 1, 2, Kind::text, "1 / \u00B7",
                      "F2A33A"},
        SheetCellCase{"ColouredByTheLowerDigit", "Assignment 001", 2, 1, Kind::text, "x / 3",
                      "2E7D32"},
        SheetCellCase{"RatedZero", "Assignment 001", 2, 3, Kind::text, "0 / \u00B7", "D32F2F"},
        SheetCellCase{"BothDigits", "Assignment 001", 3, 1, Kind::text, "3 / 2", "B9DF8A"},
        SheetCellCase{"CritiqueNotEmptyShown", "Assignment 001", 3, 2, Kind::text, "2 / 3",
                      "B9DF8A"},
        SheetCellCase{"NotAnswered", "Assignment 001", 3, 3, Kind::text, ""},
        SheetCellCase{"RatingLeftEmpty", "Assignment 002", 1, 2, Kind::text, "\u2013 / \u00B7",
                      "DDDDDD"},
        SheetCellCase{"TallyLabel", "Assignment 001", 5, 0, Kind::text, "rated 0 or 1"},
        SheetCellCase{"TallyRatedLow", "Assignment 001", 5, 1, Kind::number, "1"},
        SheetCellCase{"TallyRatedZero", "Assignment 001", 5, 3, Kind::number, "1"},
        SheetCellCase{"TallyNoneLow", "Assignment 001", 5, 10, Kind::number, "0"},
        SheetCellCase{"TallyAnswered", "Assignment 001", 6, 1, Kind::number, "3"},
        SheetCellCase{"GradebookHeader", "Gradebook", 0, 5, Kind::text, "001 mean critique"},
        SheetCellCase{"GradebookStudent", "Gradebook", 3, 0, Kind::text, "Ann Lee"},
        SheetCellCase{"GradebookAnswered", "Gradebook", 3, 1, Kind::number, "2"},
        SheetCellCase{"GradebookOfTheCourse", "Gradebook", 3, 2, Kind::number, "10"},
        SheetCellCase{"GradebookMean", "Gradebook", 3, 5, Kind::number, "2.5", "", "0.00"},
        SheetCellCase{"GradebookLastRun", "Gradebook", 1, 6, Kind::number,
                      excelDay(kDay.addDays(2)), "", "yyyy-mm-dd"},
        SheetCellCase{"GradebookNoMean", "Gradebook", 1, 10, Kind::text, ""}),
    [](const auto& param) { return std::string(param.param.name); });

struct BomCase {
    const char* name;
    bool grades; // else the CSV
    bool asked;
};

void PrintTo(const BomCase& c, std::ostream* os)
{
    *os << c.name;
}

class ByteOrderMark : public testing::TestWithParam<BomCase>
{
};

TEST_P(ByteOrderMark, BeginsACsvFileOnlyWhenAsked)
{
    Folder folder;
    ReportOptions options = gradedClass(folder);
    options.xlsx.clear();
    options.csv = folder.path("class.csv");
    options.csvBom = GetParam().asked;
    const Outcome r = report(options);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string text =
        folder.read(GetParam().grades ? "grades.csv" : "class.csv").toStdString();
    EXPECT_EQ(text.starts_with(kUtf8Bom), GetParam().asked);
    const auto rows = csvRows(text.substr(GetParam().asked ? kUtf8Bom.size() : 0));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0][0], "student");
    EXPECT_GT(rows.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Report, ByteOrderMark,
                         testing::Values(BomCase{"CsvAsked", false, true},
                                         BomCase{"CsvNotAsked", false, false},
                                         BomCase{"GradesAsked", true, true},
                                         BomCase{"GradesNotAsked", true, false}),
                         [](const auto& param) { return std::string(param.param.name); });

// With a class list, the grids and the gradebook have a row for every
// student on it, in class-list order, and the gradebook the list's columns
// of who each is.
TEST(WorkbookWithAClassList, HasEveryStudentWithTheirIdentifiers)
{
    const Folder folder;
    ReportOptions options = gradedClass(folder);
    folder.write("export.csv", "Student,ID,Section\n\"Lee, Ann\",1,A\n\"Chen, Bo\",2,A\n"
                               "\"Diaz, Cy\",3,B\n\"Fox, Eve\",4,B\n");
    options.roster = folder.path("export.csv");
    const Outcome r = report(options);
    EXPECT_EQ(r.status, 0) << r.err;
    const ReadBook book = readWorkbook(options.xlsx);
    ASSERT_TRUE(book.read);
    const ReadSheet* grid = book.sheet("Assignment 001");
    const ReadSheet* grades = book.sheet("Gradebook");
    ASSERT_TRUE(grid && grades);
    const auto text = [](const ReadSheet* sheet, int row, int column) {
        const ReadCell* cell = sheet->at(row, column);
        return cell ? cell->text : std::string("(none)");
    };
    EXPECT_EQ(text(grid, 3, 0), "Eve Fox");
    EXPECT_EQ(text(grid, 3, 1), "(none)");
    EXPECT_EQ(text(grid, 4, 0), "Ann Lee");
    EXPECT_EQ(text(grid, 4, 1), "3 / 2");
    EXPECT_EQ(text(grades, 0, 1), "Student");
    EXPECT_EQ(text(grades, 0, 3), "Section");
    EXPECT_EQ(text(grades, 0, 4), "001 answered");
    EXPECT_EQ(text(grades, 3, 0), "Eve Fox");
    EXPECT_EQ(text(grades, 3, 1), "Fox, Eve");
    EXPECT_EQ(text(grades, 3, 2), "4");
    EXPECT_EQ(text(grades, 3, 4), "0");
    EXPECT_EQ(text(grades, 4, 4), "2");
}

} // namespace
