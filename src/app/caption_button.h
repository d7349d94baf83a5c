#pragma once

#include <QFont>
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

private:
    // Fitting loads a font per size tried, so it is done once per size,
    // caption and font, not on every paint.
    const QFont& captionFont();

    QFont fitted_;
    QSize fittedFor_;
    QString fittedText_;
    QFont fittedFrom_;
};
