#pragma once

#include <QString>
#include <QStringView>

// "{}" is the bank's way of writing a line break inside an entry.
QString convertBraces(const QString& text);

// The text without its blanks and hyphens: how a routine's name is cleaned.
QString remSpaces(const QString& aLine);

// Whether an entry begins with the routine keyword, in any case.
bool beginsWithRoutineKeyword(QStringView entry);

// A routine entry's name: the entry from its tenth character on, cleaned and
// lower-cased (the ninth character only separates it from the keyword).
QString routineName(const QString& entry);
