#include "text/stream_text.h"

namespace
{

constexpr QStringView kRoutineKeyword = u"`routine";
constexpr qsizetype kNameStart = 9;

} // namespace

QString convertBraces(const QString& text)
{
    QString converted = text;
    converted.replace(QStringLiteral("{}"), QStringLiteral("\r\n"));
    return converted;
}

QString remSpaces(const QString& aLine)
{
    QString cleaned;
    cleaned.reserve(aLine.size());
    for (const QChar c : aLine) {
        if (c != u' ' && c != u'-') {
            cleaned += c;
        }
    }
    return cleaned;
}

bool beginsWithRoutineKeyword(QStringView entry)
{
    return entry.left(kRoutineKeyword.size()).compare(kRoutineKeyword, Qt::CaseInsensitive) == 0;
}

QString routineName(const QString& entry)
{
    return remSpaces(entry.mid(kNameStart)).toLower();
}
