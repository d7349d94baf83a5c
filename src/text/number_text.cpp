#include "text/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

double numericValue(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }

    std::string number;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        number += static_cast<char>(text[i].unicode());
        ++i;
    }
    int digits = 0;
    for (; i < n && isDigit(text[i]); ++i, ++digits) {
        number += static_cast<char>(text[i].unicode());
    }
    if (i < n && text[i] == u'.') {
        number += '.';
        for (++i; i < n && isDigit(text[i]); ++i, ++digits) {
            number += static_cast<char>(text[i].unicode());
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (i < n && (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            exponent += static_cast<char>(text[j].unicode());
            ++j;
        }
        const qsizetype firstExponentDigit = j;
        for (; j < n && isDigit(text[j]); ++j) {
            exponent += static_cast<char>(text[j].unicode());
        }
        if (j > firstExponentDigit) {
            number += exponent;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

QString numberText(double value)
{
    if (value == 0.0) {
        return QStringLiteral("0");
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return QString::fromLatin1(buffer);
}

QString zeroFill(const QString& number)
{
    if (number.size() == 1) {
        return QStringLiteral("00") + number;
    }
    if (number.size() == 2) {
        return QStringLiteral("0") + number;
    }
    return number;
}

QString nextAssignmentNumber(const QString& assignmentNumber)
{
    return zeroFill(numberText(numericValue(assignmentNumber) + 1.0));
}
