#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class PlainWindow;
class q_a_template_;

// What one press of "Next Question / Answer" puts into the boxes, as the
// program holds text (CR LF line ends): the question box's whole text, and
// the answer box's when the press sets it.
struct PressTexts {
    QString question;
    std::optional<QString> answer;
};

// Walks an assignment from its header (bankCursor) to "end program" as a
// student who records a response after each press, which empties the question
// box. `press` makes each press. False if the walk ended the program.
bool walkAssignment(q_a_template_& window, int header, const std::function<void()>& press);

// The texts of each press of such a walk.
std::optional<std::vector<PressTexts>> recordWalk(q_a_template_& window, int header);

// The baseline of a press: the same texts set into the plain window's boxes,
// their line ends made the box's own with stock Qt.
void showPlain(PlainWindow& window, const PressTexts& texts);
