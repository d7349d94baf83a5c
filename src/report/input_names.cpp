#include "report/input_names.h"

#include "record/student_records.h"

#include <QString>

#include <algorithm>
#include <cctype>

namespace
{

constexpr std::string_view kExtension = ".txt";

bool isDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

// The stem less " (1)", "(1)" or "-1" at its end, when something is left.
std::string_view withoutCopySuffix(std::string_view stem)
{
    if (stem.ends_with(')')) {
        const std::size_t open = stem.rfind('(');
        if (open != std::string_view::npos && open > 0 &&
            isDigits(stem.substr(open + 1, stem.size() - open - 2))) {
            return stem.substr(0, open > 1 && stem[open - 1] == ' ' ? open - 1 : open);
        }
    }
    const std::size_t dash = stem.rfind('-');
    if (dash != std::string_view::npos && dash > 0 && isDigits(stem.substr(dash + 1))) {
        return stem.substr(0, dash);
    }
    return stem;
}

std::optional<InputName> exactName(std::string_view stem)
{
    const QString fileName =
        QString::fromUtf8(stem.data(), static_cast<qsizetype>(stem.size())) + kExtension.data();
    const auto name = recordFileName(fileName);
    if (!name) {
        return std::nullopt;
    }
    // The four digits after "send_", which recordFileName checked.
    std::string day = name->role == FileRole::send ? fileName.mid(5, 4).toStdString() : "";
    return InputName{name->role, name->fullName.toStdString(), std::move(day)};
}

} // namespace

std::optional<InputName> inputName(std::string_view fileName)
{
    if (!fileName.ends_with(kExtension)) {
        return std::nullopt;
    }
    const std::string_view stem =
        withoutCopySuffix(fileName.substr(0, fileName.size() - kExtension.size()));
    for (std::size_t start = 0; start < stem.size();) {
        if (auto name = exactName(stem.substr(start))) {
            return name;
        }
        // A site's prefix ends in "_" (Moodle, Canvas, Blackboard), " - "
        // (Brightspace before 2024) or a blank.
        const std::size_t end = stem.find_first_of("_ ", start);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return std::nullopt;
}

bool isSiteFile(std::string_view fileName)
{
    // Blackboard's details of an attempt, beside its files:
    // "<assignment>_<user>_attempt_2026-12-09-20-14-05.txt".
    constexpr std::string_view kAttempt = "_attempt_";
    constexpr std::string_view kStamp = "0000-00-00-00-00-00";
    if (!fileName.ends_with(kExtension)) {
        return false;
    }
    const std::string_view stem = fileName.substr(0, fileName.size() - kExtension.size());
    if (stem.size() < kAttempt.size() + kStamp.size() ||
        stem.substr(stem.size() - kStamp.size() - kAttempt.size(), kAttempt.size()) != kAttempt) {
        return false;
    }
    const std::string_view stamp = stem.substr(stem.size() - kStamp.size());
    for (std::size_t i = 0; i < kStamp.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(stamp[i]));
        if (kStamp[i] == '-' ? stamp[i] != '-' : !digit) {
            return false;
        }
    }
    return true;
}

FoundFile foundFile(std::string_view fileName)
{
    if (!fileName.ends_with(kExtension) || fileName.starts_with("._")) {
        return {};
    }
    std::optional<InputName> name = inputName(fileName);
    if (!name && isSiteFile(fileName)) {
        return {std::nullopt, {}, true};
    }
    if (!name) {
        return {std::nullopt, "skipped: not a record file name (send_MMDDName.txt, "
                              "masterFile_Name.txt or notes_Name.txt)"};
    }
    if (name->role != FileRole::send) {
        return {std::nullopt,
                "skipped: a master or notes file is read only when named on the command line"};
    }
    return {std::move(name), {}};
}
