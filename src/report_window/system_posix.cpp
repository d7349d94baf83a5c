#include "report_window/system.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

// The terminal's output is the program's own.
void reachTheConsole() {}

QString replaceFile(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    return {};
}
