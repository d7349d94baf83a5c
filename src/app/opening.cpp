#include "q_a_template_.h"

#include "platform.h"
#include "record_file.h"
#include "startup_text.h"

namespace
{

constexpr int kHeaderLength = 4;

bool isHeader(const std::string& entry)
{
    return entry.size() >= kHeaderLength && std::isdigit(static_cast<unsigned char>(entry[0])) &&
           std::isdigit(static_cast<unsigned char>(entry[1])) &&
           std::isdigit(static_cast<unsigned char>(entry[2])) && entry[3] == '.';
}

} // namespace

void q_a_template_::openAssignment()
{
    if (!findAssignmentHeader()) {
        return;
    }
    const std::string codeLine = makeCodeLine(codeNumber);
    while (!writeOpeningRecord(codeLine)) {
        const QString folder = platform_.prompt(this, changeFolderPrompt(options_.defaultFolder));
        if (folder.isEmpty()) {
            endProgram();
            return;
        }
        workFolder = folder;
        composePaths();
    }
}

// Leaves bankCursor on the header of the chosen assignment. A number with no
// header is asked for again; an empty reply then ends the run.
bool q_a_template_::findAssignmentHeader()
{
    for (;;) {
        bankCursor = 0;
        const std::string key = (assignmentNumber + u'.').toStdString();
        while (bankCursor < kLastBankIndex) {
            ++bankCursor;
            if (bankLine(bankCursor).substr(0, kHeaderLength) == key) {
                return true;
            }
        }
        platform_.message(this, QStringLiteral("There is no assignment \"%1\" in this course. %2")
                                    .arg(assignmentNumber, availableAssignments()));
        const QString reply = platform_.prompt(this, assignmentPrompt());
        if (reply.isEmpty()) {
            bankCursor = 0;
            endProgram();
            return false;
        }
        assignmentNumber = zeroFill(reply);
        nextAssignmentNumber = ::nextAssignmentNumber(assignmentNumber);
    }
}

QString q_a_template_::availableAssignments() const
{
    QStringList numbers;
    for (int i = 1; i <= kLastBankIndex; ++i) {
        if (isHeader(bankLine(i))) {
            numbers << QString::fromLatin1(bankLine(i).substr(0, 3));
        }
    }
    if (numbers.isEmpty()) {
        return QStringLiteral("This course has no assignments.");
    }
    if (numbers.size() == 1) {
        return QStringLiteral("The only assignment is %1.").arg(numbers.front());
    }
    return QStringLiteral("The assignments are %1 to %2.").arg(numbers.front(), numbers.back());
}

// Both files are opened before either is written, so a file that cannot be
// opened leaves both untouched.
bool q_a_template_::writeOpeningRecord(const std::string& codeLine)
{
    const QString assignmentLine = QStringLiteral("assignment #") + assignmentNumber;
    const QString header = QString::fromLatin1(bankLine(bankCursor));
    // The code line is bytes already; the same line opens both files.
    auto record = [&] {
        return codeLine + "\r\n" +
               recordBytes({code(assignmentLine, codeNumber), code(header, codeNumber), courseTitle,
                            platform_.now().date().toString(QStringLiteral("MM-dd-yyyy"))});
    };
    const std::string masterRecord = record();
    const std::string sendRecord = record();
    const auto failure = appendRuns(
        {{filePath(masterFilePath), masterRecord}, {filePath(sendFilePath), sendRecord}});
    if (failure) {
        platform_.message(this, fileFailureMessage(*failure));
        return false;
    }
    return true;
}
