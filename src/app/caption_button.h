#pragma once

#include <QPushButton>

// A push button whose caption wraps onto several lines and, where it still
// does not fit, is drawn in a smaller font: the window's buttons are small and
// their captions long.
class CaptionButton : public QPushButton
{
    Q_OBJECT
public:
    CaptionButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
