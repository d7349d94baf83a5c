#pragma once

#include <QChar>
#include <QDate>
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

// Characters that cannot stand in a file name on Windows; control characters
// are refused as well.
inline constexpr char16_t kForbiddenNameCharacters[] = u"\\/:*?\"<>|";
bool isSafeFileName(const QString& name);

struct RecordPaths {
    QString master;
    QString send;
    QString notes;
};

// The three record files: blanks of the name become underscores, nothing is
// trimmed, and the folder is joined with one separator whatever it ends with.
RecordPaths composeRecordPaths(const QString& folder, const QString& fullName, QDate today,
                               QChar separator);

// The instruction text that fills the answer box.
QString defaultPromptText();

// The start-up prompts' messages; the default folder is named where the
// program's own texts name one.
QString namePrompt();
QString changeFolderQuestion(const QString& defaultFolder);
QString changeFolderPrompt(const QString& defaultFolder);
QString assignmentPrompt();
QString unsafeNameMessage();
