// Writes the sample class's course-site download into a folder, for the
// README's pictures of the report (scripts/report-pictures.sh).
#include "sample_class.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: report_sample_class FOLDER\n");
        return 2;
    }
    const QDir top(QString::fromLocal8Bit(argv[1]));
    for (const SampleFile& f : courseSiteDownload(ClassWriter())) {
        const QString path = top.filePath(f.path);
        QFile file(path);
        if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) ||
            file.write(f.bytes.data(), static_cast<qint64>(f.bytes.size())) !=
                static_cast<qint64>(f.bytes.size()) ||
            !file.flush()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
            return 1;
        }
    }
    return 0;
}
