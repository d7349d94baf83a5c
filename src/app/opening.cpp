#include "app/platform.h"
#include "app/q_a_template_.h"
#include "app/startup_text.h"
#include "record/record_text.h"
#include "text/number_text.h"

void q_a_template_::openAssignment()
{
    if (!findAssignmentHeader()) {
        return;
    }
    const std::string codeLine = makeCodeLine(codeNumber);
    while (const auto reason = writeOpeningRecord(codeLine)) {
        const QString folder = platform_.prompt(this, folderFailedPrompt(workFolder, *reason));
        if (folder.isEmpty()) {
            endProgram();
            return;
        }
        workFolder = folder;
        if (!composePaths()) {
            return;
        }
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
            if (headerKey(bankLine(bankCursor)) == key) {
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
        if (isAssignmentHeader(bankLine(i))) {
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

// The record goes to both files or to neither: a file that cannot be opened
// or written leaves both as they were. Gives the system's reason for a failure.
std::optional<QString> q_a_template_::writeOpeningRecord(const std::string& codeLine)
{
    const auto before = records.mark({FileRole::master, FileRole::send});
    std::vector<StudentRecords::Run> runs;
    for (const FileRole role : {FileRole::master, FileRole::send}) {
        const OpeningRecord record{
            codeLine, code(recordText::assignmentPrefix + assignmentNumber, codeNumber),
            code(entry(bankCursor), codeNumber), courseTitle, platform_.now().date()};
        runs.emplace_back(role, recordBytes(record));
    }
    if (const auto failure = records.append(runs, before)) {
        platform_.message(this, failure->message);
        return failure->reason;
    }
    return std::nullopt;
}
