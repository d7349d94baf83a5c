#include "report/writers.h"

#include <charconv>
#include <cstdint>
#include <limits>

void appendDigits(std::string& out, int value, int width)
{
    char digits[12];
    int n = 0;
    do {
        digits[11 - n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < 11);
    while (n < width && n < 12) {
        digits[11 - n++] = '0';
    }
    out.append(digits + 12 - n, static_cast<std::size_t>(n));
}

std::string questionName(int number)
{
    std::string name = "q";
    appendDigits(name, number, 3);
    return name;
}

std::string isoDate(QDate date)
{
    // Every response of the page and the CSV has a date: the proleptic
    // Gregorian calendar worked out from the day number, which Qt takes
    // several times as long for.
    constexpr std::int64_t kFirstOfYearOne = 1721426; // 0001-01-01
    constexpr std::int64_t kFirstOfMarchYearZero = 1721120;
    std::string text;
    const std::int64_t julian = date.isValid() ? date.toJulianDay() : 0;
    if (julian < kFirstOfYearOne) {
        return text;
    }
    // Years counted from March, so that a leap day ends its year.
    const std::int64_t days = julian - kFirstOfMarchYearZero;
    const std::int64_t era = days / 146097;
    const std::int64_t ofEra = days - era * 146097;
    const std::int64_t yearOfEra = (ofEra - ofEra / 1460 + ofEra / 36524 - ofEra / 146096) / 365;
    const std::int64_t ofYear = ofEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t fromMarch = (5 * ofYear + 2) / 153;
    const int day = static_cast<int>(ofYear - (153 * fromMarch + 2) / 5 + 1);
    const int month = static_cast<int>(fromMarch < 10 ? fromMarch + 3 : fromMarch - 9);
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    if (year > std::numeric_limits<int>::max()) {
        return text;
    }
    appendDigits(text, static_cast<int>(year), 4);
    text += '-';
    appendDigits(text, month, 2);
    text += '-';
    appendDigits(text, day, 2);
    return text;
}

std::string clockTime(QTime time)
{
    if (!time.isValid()) {
        return {};
    }
    // Every row has one: written without a loop.
    const int seconds = time.msecsSinceStartOfDay() / 1000;
    const int h = seconds / 3600;
    const int m = seconds / 60 % 60;
    const int sec = seconds % 60;
    const char text[8] = {static_cast<char>('0' + h / 10),   static_cast<char>('0' + h % 10),  ':',
                          static_cast<char>('0' + m / 10),   static_cast<char>('0' + m % 10),  ':',
                          static_cast<char>('0' + sec / 10), static_cast<char>('0' + sec % 10)};
    return std::string(text, sizeof text);
}

Out& Out::operator<<(long long number)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
}

void Out::flush()
{
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
}
