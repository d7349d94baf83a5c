// The workbook written with libxlsxwriter, in its constant-memory mode: each
// sheet's rows go to a temporary file in order, and the workbook is put
// together when it is closed.
#include "report/workbook.h"

#include "report/class_list.h"

#include "report/csv_writer.h"
#include "report/report_files.h"
#include "report/sheet_text.h"
#include "report/writers.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace
{

constexpr std::size_t kColumns = kCsvColumns;
constexpr std::array<double, kColumns> kWidths = {20, 30, 11, 9, 11, 9, 9, 7, 60, 40};
enum Column : lxw_col_t { date = 2, time = 3, rating = 7, response = 8 };

struct Formats {
    lxw_format* header = nullptr;
    lxw_format* top = nullptr;
    lxw_format* wrapped = nullptr;
    lxw_format* date = nullptr;
    lxw_format* time = nullptr;
    lxw_format* mean = nullptr;
    std::array<lxw_format*, 4> ratings{}; // by the lower digit
    lxw_format* unrated = nullptr;

    explicit Formats(lxw_workbook* book)
    {
        const auto add = [book](lxw_format*& format) {
            format = workbook_add_format(book);
            format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
            return format;
        };
        format_set_bold(add(header));
        format_set_bottom(header, LXW_BORDER_THIN);
        add(top);
        format_set_text_wrap(add(wrapped));
        format_set_num_format(add(date), "yyyy-mm-dd");
        format_set_num_format(add(time), "hh:mm:ss");
        format_set_num_format(add(mean), "0.00");
        // The page's colours, each with its text at 4.5:1 or more.
        constexpr std::array<lxw_color_t, 5> colours = {0xD32F2F, 0xF2A33A, 0xB9DF8A, 0x2E7D32,
                                                        0xDDDDDD};
        for (std::size_t i = 0; i < colours.size(); ++i) {
            lxw_format*& format = i < 4 ? ratings[i] : unrated;
            format_set_bg_color(add(format), colours[i]);
            format_set_align(format, LXW_ALIGN_CENTER);
            format_set_bold(format);
            if (i == 0 || i == 3) {
                format_set_font_color(format, LXW_COLOR_WHITE);
            }
        }
    }
};

// Stands for standard error while libxlsxwriter closes the workbook: it
// tells its failures there itself, and the report tells them once, with the
// file's path.
class StderrMuted
{
public:
    StderrMuted()
    {
#ifdef _WIN32
        const char* nowhere = "NUL";
#else
        const char* nowhere = "/dev/null";
#endif
        std::fflush(stderr);
        const int null = ::open(nowhere, O_WRONLY);
        saved_ = null >= 0 ? ::dup(2) : -1;
        if (saved_ >= 0) {
            ::dup2(null, 2);
        }
        if (null >= 0) {
            ::close(null);
        }
    }
    ~StderrMuted()
    {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, 2);
            ::close(saved_);
        }
    }
    StderrMuted(const StderrMuted&) = delete;
    StderrMuted& operator=(const StderrMuted&) = delete;

private:
    int saved_ = -1;
};

// The failures that are the system's, whose errno says more.
bool isSystemError(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return true;
    default:
        return false;
    }
}

class XlsxWorkbook final : public Workbook
{
public:
    XlsxWorkbook(lxw_workbook* book, std::uint32_t sheetRows)
        : book_(book), sheetRows_(sheetRows), formats_(book)
    {
        startResponses();
    }
    ~XlsxWorkbook() override
    {
        if (book_) {
            lxw_workbook_free(book_);
        }
    }
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    void write(const std::vector<std::string>& texts) override
    {
        for (const std::string& text : texts) {
            for (std::size_t at = 0; at < text.size();) {
                at = readRow(text, at, fields_);
                responsesRow();
            }
        }
    }

    void writeGrids(const Report& report) override;
    void writeGradebook(const Gradebook& book) override;

    std::string close() override
    {
        endResponses();
        lxw_error closed = LXW_NO_ERROR;
        int system = 0;
        {
            const StderrMuted muted;
            errno = 0;
            closed = workbook_close(book_);
            system = errno;
        }
        book_ = nullptr;
        const lxw_error error = error_ != LXW_NO_ERROR ? error_ : closed;
        if (error == LXW_NO_ERROR) {
            return {};
        }
        return isSystemError(error) && system != 0 ? std::strerror(system) : lxw_strerror(error);
    }

private:
    // A sheet of the name, or a name of its own when the name cannot be one;
    // null when the sheet could not be made (told at the close).
    lxw_worksheet* addSheet(const std::string& name);
    void check(lxw_error error)
    {
        if (error_ == LXW_NO_ERROR) {
            error_ = error;
        }
    }
    void text(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& value,
              lxw_format* format)
    {
        if (!value.empty()) {
            check(worksheet_write_string(sheet, row, col, cellText(value, scratch_), format));
        }
    }
    void number(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, double value,
                lxw_format* format = nullptr)
    {
        check(worksheet_write_number(sheet, row, col, value, format));
    }
    void date(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, QDate value)
    {
        if (value.isValid() && value.year() >= 1900 && value.year() <= 9999) {
            lxw_datetime at = {value.year(), value.month(), value.day(), 0, 0, 0};
            check(worksheet_write_datetime(sheet, row, col, &at, formats_.date));
        }
    }
    void header(lxw_worksheet* sheet, const std::vector<std::string>& names)
    {
        for (std::size_t c = 0; c < names.size(); ++c) {
            text(sheet, 0, static_cast<lxw_col_t>(c), names[c], formats_.header);
        }
    }

    void startResponses();
    void endResponses();
    void responsesRow();

    lxw_workbook* book_;
    std::uint32_t sheetRows_;
    lxw_error error_ = LXW_NO_ERROR;
    Formats formats_;
    lxw_worksheet* responses_ = nullptr;
    int responseSheets_ = 0;
    lxw_row_t row_ = 0;
    std::array<std::string, kColumns> fields_;
    std::string scratch_;
};

lxw_worksheet* XlsxWorkbook::addSheet(const std::string& name)
{
    std::string scratch;
    std::string fitted = cellText(name, scratch);
    for (char& c : fitted) {
        if (std::string_view("[]:*?/\\'").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    // At most 31 characters, cut before a character's first byte.
    std::size_t characters = 0;
    for (std::size_t i = 0; i < fitted.size(); ++i) {
        if ((static_cast<unsigned char>(fitted[i]) & 0xC0) != 0x80 &&
            ++characters > LXW_SHEETNAME_MAX) {
            fitted.resize(i);
            break;
        }
    }
    // Two names Excel takes for one, or a name cut to another's.
    for (int n = 2; workbook_validate_sheet_name(book_, fitted.c_str()) != LXW_NO_ERROR; ++n) {
        fitted = "Sheet " + std::to_string(n);
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book_, fitted.c_str());
    if (!sheet) {
        check(LXW_ERROR_CREATING_TMPFILE);
        return sheet;
    }
    // Printed across the page, the heading row on each page; a grid and the
    // gradebook as wide as the page.
    worksheet_set_landscape(sheet);
    worksheet_repeat_rows(sheet, 0, 0);
    worksheet_gridlines(sheet, LXW_SHOW_ALL_GRIDLINES);
    return sheet;
}

void XlsxWorkbook::startResponses()
{
    endResponses();
    ++responseSheets_;
    responses_ = addSheet(responseSheets_ == 1 ? std::string("Responses")
                                               : "Responses " + std::to_string(responseSheets_));
    if (!responses_) {
        return;
    }
    for (lxw_col_t c = 0; c < kColumns; ++c) {
        worksheet_set_column(responses_, c, c, kWidths[c], nullptr);
    }
    worksheet_freeze_panes(responses_, 1, 0);
    std::array<std::string, kColumns> names;
    readRow(CsvWriter::kHeader, 0, names);
    header(responses_, {names.begin(), names.end()});
    row_ = 1;
}

void XlsxWorkbook::endResponses()
{
    if (responses_) {
        check(worksheet_autofilter(responses_, 0, 0, row_ - 1, kColumns - 1));
        responses_ = nullptr;
    }
}

void XlsxWorkbook::responsesRow()
{
    if (row_ == sheetRows_) {
        startResponses();
    }
    if (!responses_) {
        return;
    }
    for (lxw_col_t c = 0; c < kColumns; ++c) {
        const std::string& field = fields_[c];
        int a = 0;
        int b = 0;
        int d = 0;
        if (c == Column::date && readTriple(field, 4, '-', a, b, d) && a >= 1900) {
            lxw_datetime at = {a, b, d, 0, 0, 0};
            check(worksheet_write_datetime(responses_, row_, c, &at, formats_.date));
        } else if (c == Column::time && readTriple(field, 2, ':', a, b, d)) {
            lxw_datetime at = {0, 0, 0, a, b, static_cast<double>(d)};
            check(worksheet_write_datetime(responses_, row_, c, &at, formats_.time));
        } else if (c == Column::rating && isDigitRating(ratingCode(field))) {
            // " 2" is the number 2; what is not a rating stays as typed.
            number(responses_, row_, c, ratingCode(field) - '0', formats_.top);
        } else {
            text(responses_, row_, c, field,
                 c == Column::response ? formats_.wrapped : formats_.top);
        }
    }
    ++row_;
}

std::string ratingMark(char code)
{
    switch (code) {
    case 0:
        return "\u00B7"; // not rated yet
    case kRatingEmpty:
        return "\u2013";
    case kRatingInvalid:
        return "x";
    default:
        return std::string(1, code);
    }
}

void XlsxWorkbook::writeGrids(const Report& report)
{
    for (const auto& [assignment, students] : report.cells()) {
        lxw_worksheet* sheet = addSheet("Assignment " + assignment);
        if (!sheet) {
            continue;
        }
        const std::vector<int> questions = gridQuestions(report.course(), assignment, students);
        std::vector<std::string> names = {std::string(kGradebookStudent)};
        for (const int q : questions) {
            names.push_back(questionName(q));
        }
        worksheet_set_column(sheet, 0, 0, 24, nullptr);
        worksheet_set_column(sheet, 1, static_cast<lxw_col_t>(questions.size()), 8, nullptr);
        worksheet_freeze_panes(sheet, 1, 1);
        worksheet_fit_to_pages(sheet, 1, 0);
        header(sheet, names);
        lxw_row_t row = 1;
        // Every student of the class list has a row, empty when nothing came.
        for (const auto& [name, work] : classListRows(students, report.classList())) {
            text(sheet, row, 0, *name, nullptr);
            for (std::size_t i = 0; work && i < questions.size(); ++i) {
                const auto it = work->cells.find(questions[i]);
                if (it == work->cells.end()) {
                    continue;
                }
                const char confidence = it->second.confidence();
                const char critique = it->second.critiqueRating();
                char lowest = 0;
                for (const char code : {confidence, critique}) {
                    if (isDigitRating(code) && (lowest == 0 || code < lowest)) {
                        lowest = code;
                    }
                }
                lxw_format* format = lowest
                                         ? formats_.ratings[static_cast<std::size_t>(lowest - '0')]
                                         : formats_.unrated;
                text(sheet, row, static_cast<lxw_col_t>(i + 1),
                     ratingMark(confidence) + " / " + ratingMark(critique), format);
            }
            ++row;
        }
        // The tallies, a row under the students.
        ++row;
        const std::vector<QuestionTally> tallies = questionTallies(students, questions);
        for (const auto& [label, count] : {std::pair("rated 0 or 1", &QuestionTally::low),
                                           std::pair("answered", &QuestionTally::answered)}) {
            text(sheet, row, 0, label, formats_.header);
            for (std::size_t i = 0; i < tallies.size(); ++i) {
                number(sheet, row, static_cast<lxw_col_t>(i + 1), tallies[i].*count);
            }
            ++row;
        }
    }
}

void XlsxWorkbook::writeGradebook(const Gradebook& book)
{
    lxw_worksheet* sheet = addSheet("Gradebook");
    if (!sheet) {
        return;
    }
    // With a class list, its columns of who a student is come after the name.
    std::vector<std::string> names = gradebookHeader(book);
    const std::vector<int> identity = book.roster ? book.roster->identity : std::vector<int>();
    for (std::size_t i = 0; i < identity.size(); ++i) {
        names.insert(names.begin() + static_cast<std::ptrdiff_t>(i + 1),
                     book.roster->header[static_cast<std::size_t>(identity[i])]);
    }
    const auto first = static_cast<lxw_col_t>(1 + identity.size());
    worksheet_set_column(sheet, 0, 0, 24, nullptr);
    worksheet_set_column(sheet, 1, static_cast<lxw_col_t>(names.size() - 1), 19, nullptr);
    worksheet_freeze_panes(sheet, 1, 1);
    worksheet_fit_to_pages(sheet, 1, 0);
    header(sheet, names);
    lxw_row_t row = 1;
    for (const Gradebook::Student& student : book.students) {
        text(sheet, row, 0, student.name, nullptr);
        for (std::size_t i = 0; student.row && i < identity.size(); ++i) {
            const auto column = static_cast<std::size_t>(identity[i]);
            text(sheet, row, static_cast<lxw_col_t>(1 + i),
                 column < student.row->fields.size() ? student.row->fields[column] : "", nullptr);
        }
        lxw_col_t col = first;
        for (std::size_t a = 0; a < book.assignments.size(); ++a, col += kGradeColumns.size()) {
            const Grade& grade = student.grades[a];
            number(sheet, row, col, grade.answered);
            if (const auto of = book.assignments[a].questions) {
                number(sheet, row, col + 1, *of);
            }
            number(sheet, row, col + 2, grade.critiques);
            if (grade.meanConfidence) {
                number(sheet, row, col + 3, *grade.meanConfidence, formats_.mean);
            }
            if (grade.meanCritique) {
                number(sheet, row, col + 4, *grade.meanCritique, formats_.mean);
            }
            date(sheet, row, col + 5, grade.lastRun);
        }
        ++row;
    }
}

} // namespace

std::unique_ptr<Workbook> Workbook::open(const std::string& path, std::string& error,
                                         std::uint32_t sheetRows)
{
    // libxlsxwriter makes the file only when the workbook is closed.
    std::FILE* file = openOutput(path);
    if (!file) {
        error = std::strerror(errno);
        return nullptr;
    }
    std::fclose(file);
    lxw_workbook_options options = {LXW_TRUE, nullptr, LXW_FALSE};
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    if (!book) {
        error = lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return nullptr;
    }
    return std::make_unique<XlsxWorkbook>(book, std::max<std::uint32_t>(sheetRows, 2));
}
