#include "report/writers.h"

#include <charconv>

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
    std::string text;
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (date.isValid() && year > 0) {
        appendDigits(text, year, 4);
        text += '-';
        appendDigits(text, month, 2);
        text += '-';
        appendDigits(text, day, 2);
    }
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
