#include "report/report_core.h"

#include <QString>

std::string classListKey(const std::string& student)
{
    const QString name = QString::fromStdString(student).trimmed();
    const qsizetype space = name.lastIndexOf(u' ');
    const QString ordered =
        space < 0 ? name : name.mid(space + 1) + QChar(u'\x01') + name.left(space);
    QString folded;
    for (const QChar c : ordered.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing) {
            folded += c;
        }
    }
    return folded.toCaseFolded().toStdString();
}

namespace
{
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

char ratingCode(std::string_view reply)
{
    while (!reply.empty() && isBlank(reply.front())) {
        reply.remove_prefix(1);
    }
    while (!reply.empty() && isBlank(reply.back())) {
        reply.remove_suffix(1);
    }
    if (reply.empty()) {
        return kRatingEmpty;
    }
    return reply.size() == 1 && isDigitRating(reply[0]) ? reply[0] : kRatingInvalid;
}

bool isEmptyText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), isBlank);
}

namespace
{
constexpr Stamp kDay = 86'400'000;
} // namespace

Stamp stampOf(QDate date, QTime time)
{
    return date.toJulianDay() * kDay + time.msecsSinceStartOfDay();
}

QDate stampDate(Stamp stamp)
{
    return QDate::fromJulianDay(stamp / kDay);
}

QTime stampTime(Stamp stamp)
{
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(stamp % kDay));
}
