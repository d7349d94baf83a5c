#include "startup_text.h"

#include <QStringList>

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

bool isSafeFileName(const QString& name)
{
    const QStringView forbidden(kForbiddenNameCharacters);
    for (const QChar c : name) {
        if (c.unicode() < 32 || c.unicode() == 127 || forbidden.contains(c)) {
            return false;
        }
    }
    return true;
}

RecordPaths composeRecordPaths(const QString& folder, const QString& fullName, QDate today,
                               QChar separator)
{
    QString name = fullName;
    name.replace(u' ', u'_');
    const QString monthDay = today.toString(QStringLiteral("MMdd"));
    return {folder + separator + QStringLiteral("masterFile_") + name + QStringLiteral(".txt"),
            folder + separator + QStringLiteral("send_") + monthDay + name + QStringLiteral(".txt"),
            folder + separator + QStringLiteral("notes_") + name + QStringLiteral(".txt")};
}

QString defaultPromptText()
{
    return QStringLiteral(
        "Enter, as appropriate, an answer to the question, a critique of your answer in "
        "response to a given answer, your insights regarding the situation at this point, "
        "notes to yourself, or just an OK.\r\n\r\n"
        "Always critique your solutions by describing any insights you had or errors you "
        "makde, and by explaining how you can make use of the insight or how you now know how "
        "to avoid certain errors.  Also pose for the instructor any question or questions "
        "that you have related to the problem or series of problems.");
}

QString namePrompt()
{
    return QStringLiteral("Your full name:  ");
}

QString changeFolderQuestion(const QString& defaultFolder)
{
    return QStringLiteral("Enter 1 if you want to change the folder to which your files will be "
                          "written.  The current default folder is ") +
           defaultFolder +
           QStringLiteral(".  If you wish to use this folder, just hit the Enter key");
}

QString changeFolderPrompt(const QString& defaultFolder)
{
    return QStringLiteral("You have chosen to change the folder to which your files will be "
                          "written on your hard drive from the default ") +
           defaultFolder +
           QStringLiteral(".  Enter the path to the folder you wish to use.  You may just hit the "
                          "Enter key to retain the default path.");
}

QString assignmentPrompt()
{
    return QStringLiteral("Assignment Number:  ");
}

QString unsafeNameMessage()
{
    QStringList shown;
    for (const char16_t c : std::u16string_view(kForbiddenNameCharacters)) {
        shown << QString(QChar(c));
    }
    return QStringLiteral("A name cannot hold any of the characters %1 or a control character, "
                          "because it becomes part of the names of your files. Please type your "
                          "name again.")
        .arg(shown.join(u' '));
}
