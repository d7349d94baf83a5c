#include "record/record_text.h"

#include "text/number_text.h"

#include <cmath>

namespace recordText
{

QString confidencePrompt()
{
    return QStringLiteral(
        "Assess your level of confidence in your answer on a scale from 0 to 3, where 0 means "
        "you have no confidence in your answer, 1 means you have some confidence, 2 means you "
        "are pretty confident and 3 means you are certain of your answer:");
}

QString selfCritiquePrompt()
{
    return QStringLiteral(
        "Rate the quality of your self-critique on a 0-3 scale, where 0 indicates that "
        "self-critique was necessary on this question but was not given, 1 indicates that "
        "self-critique was necessary but the given self-critique was not adequate, 2 indicates "
        "that self-critique was necessary and was mostly adequate, and 3 indicates that either "
        "self-critique was not necessary or that after reading the solution everything was "
        "completely obvious so you skipped the self-critique.");
}

} // namespace recordText

namespace
{

// Each format is written by Qt and read back by fields() below.
constexpr std::string_view kDateFormat = "MM-dd-yyyy";
constexpr std::string_view kTimeFormat = "HH:mm:ss";

QString formatText(std::string_view format)
{
    return QString::fromLatin1(format.data(), static_cast<qsizetype>(format.size()));
}

// The fields of `text` laid out as `format`: each run of one letter is as
// many digits, every other character stands for itself. Reading runs for
// every record, so it does without Qt's parser.
struct Fields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

std::optional<Fields> fields(std::string_view text, std::string_view format)
{
    if (text.size() != format.size()) {
        return std::nullopt;
    }
    Fields f;
    for (std::size_t i = 0; i < format.size(); ++i) {
        int* field = nullptr;
        switch (format[i]) {
        case 'y':
            field = &f.year;
            break;
        case 'M':
            field = &f.month;
            break;
        case 'd':
            field = &f.day;
            break;
        case 'H':
            field = &f.hour;
            break;
        case 'm':
            field = &f.minute;
            break;
        case 's':
            field = &f.second;
            break;
        default:
            if (text[i] != format[i]) {
                return std::nullopt;
            }
            continue;
        }
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        *field = *field * 10 + (text[i] - '0');
    }
    return f;
}

std::optional<QDate> dateOf(const Fields& f)
{
    const QDate date(f.year, f.month, f.day);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

std::optional<QTime> timeOf(const Fields& f)
{
    const QTime time(f.hour, f.minute, f.second);
    return time.isValid() ? std::optional(time) : std::nullopt;
}

std::optional<std::string_view> afterIndent(std::string_view line)
{
    const auto indent = static_cast<std::size_t>(recordText::stampIndent.size());
    if (line.size() < indent || line.find_first_not_of(' ') < indent) {
        return std::nullopt;
    }
    return line.substr(indent);
}

bool startsWith(std::string_view line, const QString& prefix)
{
    const auto n = static_cast<std::size_t>(prefix.size());
    if (line.size() < n) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (static_cast<char16_t>(static_cast<unsigned char>(line[i])) != prefix[i].unicode()) {
            return false;
        }
    }
    return true;
}

std::optional<long long> digitsValue(std::string_view digits)
{
    if (digits.empty() || digits.size() > 15) {
        return std::nullopt;
    }
    long long value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

QString dateLine(QDate date)
{
    return date.toString(formatText(kDateFormat));
}

QString stampLine(QTime time)
{
    return recordText::stampIndent + time.toString(formatText(kTimeFormat));
}

QString dateStampLine(QDate date, QTime time)
{
    return recordText::stampIndent + dateLine(date) + time.toString(formatText(kTimeFormat));
}

std::optional<QDate> dateLineDate(std::string_view line)
{
    const auto f = fields(line, kDateFormat);
    return f ? dateOf(*f) : std::nullopt;
}

std::optional<QTime> stampLineTime(std::string_view line)
{
    const auto rest = afterIndent(line);
    const auto f = rest ? fields(*rest, kTimeFormat) : std::nullopt;
    return f ? timeOf(*f) : std::nullopt;
}

std::optional<DateStamp> dateStampLineStamp(std::string_view line)
{
    const auto rest = afterIndent(line);
    if (!rest || rest->size() != kDateFormat.size() + kTimeFormat.size()) {
        return std::nullopt;
    }
    const auto d = fields(rest->substr(0, kDateFormat.size()), kDateFormat);
    const auto t = fields(rest->substr(kDateFormat.size()), kTimeFormat);
    const auto date = d ? dateOf(*d) : std::nullopt;
    const auto time = t ? timeOf(*t) : std::nullopt;
    if (!date || !time) {
        return std::nullopt;
    }
    return DateStamp{*date, *time};
}

std::optional<long long> questionNumberLineValue(std::string_view line)
{
    if (!startsWith(line, recordText::questionNumberMarker)) {
        return std::nullopt;
    }
    std::string_view rest =
        line.substr(static_cast<std::size_t>(recordText::questionNumberMarker.size()));
    while (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
    }
    while (!rest.empty() && rest.back() == ' ') {
        rest.remove_suffix(1);
    }
    return digitsValue(rest);
}

std::optional<int> questionEntryNumber(std::string_view firstLine)
{
    if (!startsWith(firstLine, recordText::questionMarker)) {
        return std::nullopt;
    }
    const std::string_view rest =
        firstLine.substr(static_cast<std::size_t>(recordText::questionMarker.size()));
    const std::size_t period = rest.find('.');
    if (period == std::string_view::npos || period > 6) {
        return std::nullopt;
    }
    const auto value = digitsValue(rest.substr(0, period));
    return value ? std::optional(static_cast<int>(*value)) : std::nullopt;
}

QString questionNumberLine(const QString& assignmentNumber, const QString& questionNumber)
{
    double number = 10000.0 * numericValue(assignmentNumber) + numericValue(questionNumber);
    // Only an absurd assignment number overflows; it is written as 0.
    if (!std::isfinite(number)) {
        number = 0;
    }
    const QString digits = numberText(number);
    return recordText::questionNumberMarker + (number < 0 ? digits : u' ' + digits) + u' ';
}

QStringList fileLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\r') {
            ++end;
        }
        lines << text.mid(start, end - start);
        start = end + 1;
        if (end + 1 < n && text[end + 1] == u'\n') {
            ++start;
        }
    }
    return lines;
}
