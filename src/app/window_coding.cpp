#include "app/platform.h"
#include "app/q_a_template_.h"
#include "coding/line_coding.h"

#include <QDir>

QString q_a_template_::code(const QString& aLine, int) const
{
    return aLine;
}

std::string q_a_template_::makeCodeLine(int codeNbr)
{
    return ::makeCodeLine(codeNbr, [this] { return random_.draw(); });
}

std::string q_a_template_::decode(const std::string& aLine, int codeNbr) const
{
    return ::decode(aLine, codeNbr);
}

// Codes the query file of the working folder into queri.txt beside it. No
// button calls it; a missing or empty query file is reported and nothing is
// written.
void q_a_template_::codeFile()
{
    const QString queryPath = workFolder + QDir::separator() + QStringLiteral("query.txt");
    const auto query = readOrReport(queryPath);
    if (!query) {
        return;
    }
    const auto coded = codeQueryText(*query);
    if (!coded) {
        platform_.message(
            this,
            QStringLiteral("The query file %1 is empty; nothing was written.").arg(queryPath));
        return;
    }
    codeNumber = coded->codeNumber;
    const QString outputPath = workFolder + QDir::separator() + QStringLiteral("queri.txt");
    if (const auto failure = records.replace(outputPath, coded->output)) {
        platform_.message(this, *failure);
    }
}
