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

QString dateLine(QDate date)
{
    return date.toString(QStringLiteral("MM-dd-yyyy"));
}

QString stampLine(QTime time)
{
    return recordText::stampIndent + time.toString(QStringLiteral("HH:mm:ss"));
}

QString dateStampLine(QDate date, QTime time)
{
    return recordText::stampIndent + dateLine(date) + time.toString(QStringLiteral("HH:mm:ss"));
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
