#include "text/line_ends.h"

QString withBoxLineEnds(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (!(text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')) {
            shown += text[i];
        }
    }
    return shown;
}
