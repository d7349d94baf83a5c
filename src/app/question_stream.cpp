#include "app/q_a_template_.h"

#include "record/record_text.h"
#include "text/number_text.h"
#include "text/stream_text.h"

#include <QPlainTextEdit>

namespace
{

constexpr QStringView kEndSentinel = u"####.#";
constexpr qsizetype kRoutineKeywordLength = 8;

} // namespace

QString q_a_template_::entry(int index) const
{
    return QString::fromLatin1(bankLine(index));
}

void q_a_template_::readNextQuestion()
{
    if (promptDue) {
        setBoxText(txt_answer, defaultPrompt);
    }
    promptDue = false;

    QString working;
    while (working.isEmpty()) {
        // Past the last entry there is nothing more of any assignment: the run
        // ends as it would at the next assignment's header.
        if (bankCursor >= kLastBankIndex) {
            endProgram();
            return;
        }
        ++bankCursor;
        working = entry(bankCursor);
        if (working.startsWith(recordText::questionMarker)) {
            blockKind = BlockKind::question;
        } else if (working.startsWith(recordText::answerMarker)) {
            working.remove(0, recordText::answerMarker.size());
            blockKind = BlockKind::answer;
        }
        if (!working.isEmpty()) {
            currentLine = working;
            if (working.left(2).toLower() == recordText::questionMarker) {
                questionNumber = numberText(
                    numericValue(QStringView(working).mid(recordText::questionMarker.size())));
            }
        }
    }

    if (!beginsWithRoutineKeyword(working)) {
        promptDue = true;
    }
    newText = working;
    if (working.left(3) == nextAssignmentNumber ||
        working.left(kEndSentinel.size()) == kEndSentinel) {
        endProgram();
    }
}

void q_a_template_::cmdNextQuestion_Click()
{
    if (ended_) {
        return;
    }
    readNextQuestion();
    if (ended_) {
        return;
    }
    if (newText.size() > kRoutineKeywordLength && beginsWithRoutineKeyword(newText)) {
        runRoutine(routineName(newText));
        if (ended_) {
            return;
        }
        newText.clear();
        readNextQuestion();
        if (ended_) {
            return;
        }
    }
    // The box's characters up to here stay as they are: the entry starts after them.
    const int added = txt_question->document()->characterCount() - 1;
    newText = ::convertBraces(newText);
    displayedText = boxText(txt_question) + newText;
    newText.clear();
    setBoxText(txt_question, displayedText);
    showFrom(txt_question, added);
}

QString q_a_template_::convertBraces(const QString& text) const
{
    return ::convertBraces(text);
}
