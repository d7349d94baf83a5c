#pragma once

#include <QWidget>

class QPlainTextEdit;

// The baseline of the program's window: the same controls, places, captions
// and text-box fonts, made with stock Qt widgets and nothing of the program.
// The controls carry the program's object names.
class PlainWindow : public QWidget
{
public:
    PlainWindow();

    QPlainTextEdit* question;
    QPlainTextEdit* answer;
};
