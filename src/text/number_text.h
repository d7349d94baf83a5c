#pragma once

#include <QString>
#include <QStringView>

// The number a text begins with: leading blanks skipped, an optional sign,
// digits with an optional decimal point, an optional exponent (E or D).
// 0 when the text begins with no number, or with one too large for a double.
double numericValue(QStringView text);

// A number as plain decimal text with no blank: 6 gives "6", -2.5 gives "-2.5".
QString numberText(double value);

// A reply of one or two characters gets leading zeros up to three; any other
// length, the empty one included, stays as typed.
QString zeroFill(const QString& number);

// The assignment after the given one, zero-filled: "005" gives "006".
QString nextAssignmentNumber(const QString& assignmentNumber);
