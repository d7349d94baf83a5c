#include "q_a_template_.h"

#include "line_coding.h"
#include "platform.h"
#include "record_file.h"

#include <QDir>

#include <variant>

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
    const auto read = readFile(filePath(queryPath));
    if (const auto* failure = std::get_if<FileFailure>(&read)) {
        platform_.message(this, fileReadFailureMessage(*failure));
        return;
    }
    const auto coded = codeQueryText(std::get<std::string>(read));
    if (!coded) {
        platform_.message(
            this,
            QStringLiteral("The query file %1 is empty; nothing was written.").arg(queryPath));
        return;
    }
    codeNumber = coded->codeNumber;
    const QString outputPath = workFolder + QDir::separator() + QStringLiteral("queri.txt");
    if (const auto failure = replaceFile(filePath(outputPath), coded->output)) {
        platform_.message(this, fileFailureMessage(*failure));
    }
}
