#pragma once

// The gradebook in the form a course site's grade import takes: one grade
// per assignment, each student keyed by the identifiers of the site's own
// class list.
#include "report/class_list.h"
#include "report/gradebook.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class GradesFormat { names, canvas, moodle, blackboard, brightspace };
inline constexpr std::string_view kGradesFormats = "canvas, moodle, blackboard, brightspace, names";
std::optional<GradesFormat> gradesFormatNamed(std::string_view name);
std::string_view gradesFormatName(GradesFormat format);
// The format of the site the class list comes from; names where that site
// imports none (Google Classroom) or is not known.
GradesFormat gradesFormatOf(RosterSite site);
// Why the class list cannot key this format's rows (the column it lacks);
// empty when it can.
std::string gradesFormatNeeds(GradesFormat format, const Roster& roster);

// What one grade counts, out of the assignment's questions.
enum class GradeMeasure { both, answered, critiqued };
inline constexpr std::string_view kGradeMeasures = "both, answered, critiqued";
std::optional<GradeMeasure> gradeMeasureNamed(std::string_view name);

// The import file of `format` (not names): the class list's students, in its
// order, with their identifiers and one column per assignment of the course
// ("qa-tutor 001", or the column of that title the class list already has,
// so that a site matches it rather than making another). Those not on the
// class list, and assignments not in the course, are left out and named in
// `leftOut`.
std::string gradesImport(const Gradebook& book, const Roster& roster, GradesFormat format,
                         GradeMeasure measure, std::vector<std::string>& leftOut);
