#pragma once

#include "app/caption_fit.h"

#include <QLabel>
#include <QPushButton>

// A push button whose caption wraps onto several lines and, where it still
// does not fit, is drawn in a smaller font. Enter presses it when it has the
// focus, as Space does.
class CaptionButton : public QPushButton
{
    Q_OBJECT
public:
    CaptionButton(const QString& caption, QWidget* parent);

    // The font the caption is drawn in.
    const QFont& captionFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    mutable CaptionFit fit_;
};

// A label whose caption is drawn in a smaller font where it does not fit, and
// wraps when word wrap is on.
class CaptionLabel : public QLabel
{
    Q_OBJECT
public:
    CaptionLabel(const QString& caption, QWidget* parent);

    const QFont& captionFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect captionArea() const;
    int captionFlags() const;

    mutable CaptionFit fit_;
};
