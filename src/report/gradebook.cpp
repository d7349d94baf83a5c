#include "report/gradebook.h"

#include "report/class_list.h"
#include "report/csv_writer.h"
#include "report/writers.h"

#include <charconv>
#include <map>

namespace
{

std::optional<double> mean(int sum, int count)
{
    return count > 0 ? std::optional(static_cast<double>(sum) / count) : std::nullopt;
}

Grade gradeOf(const StudentWork& work)
{
    Grade grade;
    int confidenceSum = 0;
    int confidences = 0;
    int critiqueSum = 0;
    int critiques = 0;
    for (const auto& [number, cell] : work.cells) {
        grade.answered += cell.responses.count() > 0;
        const CellEntry* critique = cell.critiques.shown();
        const bool critiqued = critique && !isEmptyText(critique->text);
        grade.critiques += critiqued;
        grade.completed += critiqued && cell.responses.count() > 0;
        if (const char code = cell.confidence(); isDigitRating(code)) {
            confidenceSum += code - '0';
            ++confidences;
        }
        if (const char code = cell.critiqueRating(); isDigitRating(code)) {
            critiqueSum += code - '0';
            ++critiques;
        }
    }
    grade.meanConfidence = mean(confidenceSum, confidences);
    grade.meanCritique = mean(critiqueSum, critiques);
    for (const QDate date : work.runDates) {
        if (!grade.lastRun.isValid() || date > grade.lastRun) {
            grade.lastRun = date;
        }
    }
    return grade;
}

void appendMean(std::string& out, const std::optional<double>& value)
{
    if (value) {
        char digits[32];
        const auto end =
            std::to_chars(digits, digits + sizeof digits, *value, std::chars_format::fixed, 2).ptr;
        out.append(digits, end);
    }
}

} // namespace

Gradebook gradebookOf(const Report& report)
{
    Gradebook book;
    const std::size_t count = report.cells().size();
    std::map<std::string, std::vector<Grade>> byStudent;
    for (const auto& [code, students] : report.cells()) {
        const CourseAssignment* course = report.course().assignment(code);
        book.assignments.push_back(
            {code,
             course ? std::optional(static_cast<int>(course->questions.size())) : std::nullopt});
        for (const auto& [student, work] : students) {
            std::vector<Grade>& grades = byStudent[student];
            grades.resize(count);
            grades[book.assignments.size() - 1] = gradeOf(work);
        }
    }
    const ClassList* list = report.classList();
    book.roster = list ? list->roster : nullptr;
    for (const auto& [name, grades] : classListRows(byStudent, list)) {
        const RosterStudent* row = list ? list->find(*name) : nullptr;
        book.students.push_back({*name, grades ? *grades : std::vector<Grade>(count), row});
    }
    return book;
}

std::vector<std::string> gradebookHeader(const Gradebook& book)
{
    std::vector<std::string> header = {std::string(kGradebookStudent)};
    for (const Gradebook::Assignment& assignment : book.assignments) {
        for (const std::string_view column : kGradeColumns) {
            header.push_back(assignment.code + ' ' + std::string(column));
        }
    }
    return header;
}

std::string gradesCsv(const Gradebook& book)
{
    std::string text;
    const auto end = [&] {
        text.back() = '\r';
        text += '\n';
    };
    for (const std::string& name : gradebookHeader(book)) {
        appendCsvField(text, name);
        text += ',';
    }
    end();
    for (const Gradebook::Student& student : book.students) {
        appendCsvField(text, student.name);
        for (std::size_t a = 0; a < book.assignments.size(); ++a) {
            const Grade& grade = student.grades[a];
            const std::optional<int> of = book.assignments[a].questions;
            text += ',' + std::to_string(grade.answered) + ',' +
                    (of ? std::to_string(*of) : std::string()) + ',' +
                    std::to_string(grade.critiques) + ',';
            appendMean(text, grade.meanConfidence);
            text += ',';
            appendMean(text, grade.meanCritique);
            text += ',' + isoDate(grade.lastRun);
        }
        text += "\r\n";
    }
    return text;
}
