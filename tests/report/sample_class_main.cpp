// Writes the sample class's course-site download into a folder, for the
// README's pictures of the report (scripts/report-pictures.sh), or with
// --every-kind-of-cell the class of every kind of cell, for the page's check
// in a browser (tests/page).
#include "every_kind_of_cell.h"
#include "sample_class.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <string_view>

int main(int argc, char* argv[])
{
    const bool everyKind = argc == 3 && std::string_view(argv[1]) == "--every-kind-of-cell";
    if (argc != 2 && !everyKind) {
        std::fprintf(stderr, "usage: report_sample_class [--every-kind-of-cell] FOLDER\n");
        return 2;
    }
    const QDir top(QString::fromLocal8Bit(argv[argc - 1]));
    const ClassWriter w;
    for (const SampleFile& f : everyKind ? everyKindOfCell(w) : courseSiteDownload(w)) {
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
