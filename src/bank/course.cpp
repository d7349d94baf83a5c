#include "bank/course.h"

#include "bank/course_text.h"

#include <QFile>

#include <stdexcept>

std::vector<std::string> courseEntries()
{
    QFile file(QStringLiteral(":/bank/course.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        // Only a broken build can get here: the text is a compiled-in resource.
        throw std::runtime_error("the course text is missing from this build");
    }
    const QByteArray bytes = file.readAll();
    return parseCourseText(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}
