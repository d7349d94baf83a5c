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
        const std::size_t underscore = stem.find('_', start);
        if (underscore == std::string_view::npos) {
            break;
        }
        start = underscore + 1;
    }
    return std::nullopt;
}

FoundFile foundFile(std::string_view fileName)
{
    if (!fileName.ends_with(kExtension) || fileName.starts_with("._")) {
        return {};
    }
    std::optional<InputName> name = inputName(fileName);
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
