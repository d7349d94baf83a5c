#include "report/report_core.h"

#include <QString>

#include <cctype>
#include <optional>

namespace
{

// As classListKey, for a name of ASCII alone, which has no accents and folds
// to lower case.
std::optional<std::string> asciiClassListKey(std::string_view name)
{
    if (!std::all_of(name.begin(), name.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return std::nullopt;
    }
    const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!name.empty() && blank(name.front())) {
        name.remove_prefix(1);
    }
    while (!name.empty() && blank(name.back())) {
        name.remove_suffix(1);
    }
    const std::size_t space = name.rfind(' ');
    std::string key =
        space == std::string_view::npos
            ? std::string(name)
            : std::string(name.substr(space + 1)) + '\x01' + std::string(name.substr(0, space));
    for (char& c : key) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

} // namespace

std::string classListKey(const std::string& student)
{
    if (std::optional<std::string> key = asciiClassListKey(student)) {
        return std::move(*key);
    }
    const QString name = QString::fromStdString(student).trimmed();
    const qsizetype space = name.lastIndexOf(u' ');
    const QString ordered =
        space < 0 ? name : name.mid(space + 1) + QChar(u'\x01') + name.left(space);
    QString folded;
    for (const QChar c : ordered.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing) {
            folded += c;
        }
    }
    return folded.toCaseFolded().toStdString();
}

namespace
{
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

char ratingCode(std::string_view reply)
{
    while (!reply.empty() && isBlank(reply.front())) {
        reply.remove_prefix(1);
    }
    while (!reply.empty() && isBlank(reply.back())) {
        reply.remove_suffix(1);
    }
    if (reply.empty()) {
        return kRatingEmpty;
    }
    return reply.size() == 1 && isDigitRating(reply[0]) ? reply[0] : kRatingInvalid;
}

bool isEmptyText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), isBlank);
}

namespace
{
constexpr Stamp kDay = 86'400'000;
} // namespace

Stamp stampOf(QDate date, QTime time)
{
    return date.toJulianDay() * kDay + time.msecsSinceStartOfDay();
}

QDate stampDate(Stamp stamp)
{
    return QDate::fromJulianDay(stamp / kDay);
}

QTime stampTime(Stamp stamp)
{
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(stamp % kDay));
}
