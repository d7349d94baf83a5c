#include "app/q_a_template_.h"

#include "app/platform.h"
#include "app/startup_text.h"
#include "bank/course.h"
#include "pictures/picture_box.h"
#include "text/number_text.h"

#include <QDir>

void q_a_template_::Form_Load()
{
    courseTitle = QString::fromUtf8(kCourseTitle);
    startUp();
    if (!ended_) {
        openAssignment();
    }
}

void q_a_template_::startUp()
{
    if (options_.fixedSeed) {
        random_.seedFixed(*options_.fixedSeed);
    } else {
        random_.seed(platform_.now().time().msecsSinceStartOfDay() / 1000.0);
    }
    codeNumber = codeNumberFrom(random_.draw());

    for (PictureBox* box : {Picture1, Picture2}) {
        box->setScaleHeight(1000);
        box->setScaleWidth(1000);
    }

    workFolder = options_.defaultFolder;
    // Its failure (the folder exists, no home) is of no consequence here.
    QDir().mkdir(options_.defaultFolder);

    const QString fullName = askFullName();

    if (platform_.prompt(this, changeFolderQuestion(options_.defaultFolder)) == u"1") {
        const QString folder = platform_.prompt(this, changeFolderPrompt(options_.defaultFolder));
        if (!folder.isEmpty()) {
            workFolder = folder;
        }
    }

    fullName_ = fullName;
    if (!composePaths()) {
        return;
    }

    assignmentNumber = platform_.prompt(this, assignmentPrompt());
    defaultPrompt = defaultPromptText();
    assignmentNumber = zeroFill(assignmentNumber);
    nextAssignmentNumber = ::nextAssignmentNumber(assignmentNumber);

    bankCursor = 0;
    loadQuestionBank();
}

QString q_a_template_::askFullName()
{
    QString name = platform_.prompt(this, namePrompt());
    while (const auto refused = refusedNameMessage(name)) {
        platform_.message(this, *refused);
        name = platform_.prompt(this, namePrompt());
    }
    return name;
}

// The folder is taken before anything is written to it; a run that already
// has it ends this one.
bool q_a_template_::composePaths()
{
    if (records.setFolder(workFolder, fullName_, platform_.now().date()) !=
        StudentRecords::Claim::heldByAnotherRun) {
        return true;
    }
    platform_.message(this, alreadyOpenMessage(fullName_, workFolder));
    endProgram();
    return false;
}

void q_a_template_::loadQuestionBank()
{
    ::loadQuestionBank(*bankLines, bankCursor,
                       options_.bankEntries ? *options_.bankEntries : courseEntries());
}
