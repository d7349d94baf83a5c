#include "next_question_walk.h"

#include "app/q_a_template_.h"
#include "plain_window.h"

#include <QCoreApplication>
#include <QPlainTextEdit>

namespace
{

const QString kEnd = QStringLiteral("end program");

QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

bool walkAssignment(q_a_template_& window, int header, const std::function<void()>& press)
{
    window.bankCursor = header;
    window.promptDue = false;
    window.txt_question->clear();
    window.txt_answer->clear();
    QCoreApplication::processEvents();
    do {
        press();
        window.txt_question->clear();
        QCoreApplication::processEvents();
    } while (!window.ended() && window.currentLine != kEnd);
    return !window.ended();
}

std::optional<std::vector<PressTexts>> recordWalk(q_a_template_& window, int header)
{
    std::vector<PressTexts> presses;
    bool answerSet = false;
    const auto watch = QObject::connect(window.txt_answer, &QPlainTextEdit::textChanged, &window,
                                        [&answerSet] { answerSet = true; });
    const bool walked = walkAssignment(window, header, [&] {
        answerSet = false;
        window.cmdNextQuestion_Click();
        PressTexts texts{window.displayedText, std::nullopt};
        if (answerSet) {
            texts.answer = q_a_template_::boxText(window.txt_answer);
        }
        presses.push_back(std::move(texts));
    });
    QObject::disconnect(watch);
    if (!walked) {
        return std::nullopt;
    }
    return presses;
}

void showPlain(PlainWindow& window, const PressTexts& texts)
{
    if (texts.answer) {
        window.answer->setPlainText(withLineFeeds(*texts.answer));
    }
    window.question->setPlainText(withLineFeeds(texts.question));
}
