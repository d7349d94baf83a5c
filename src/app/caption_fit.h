#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

// Below this a caption is no longer read at a glance; a caption that does not
// fit even here is drawn at this size and clipped.
inline constexpr double kSmallestCaptionPointSize = 6.0;

// The window's controls are small and their captions long: the largest size,
// from the control's own font down, at which the caption fits the area whole
// (wrapped only at word breaks when the flags allow it).
QFont fittedCaptionFont(const QFont& from, const QRect& area, int flags, const QString& caption);

// The part of a control inside its window: a few controls reach beyond the
// window's edge, and a caption centred on the whole of one would be cut.
QRect shownPart(const QWidget& control);

// Fitting loads a font per size tried, so it is done again only when the
// area, caption or font has changed, not on every paint.
class CaptionFit
{
public:
    const QFont& font(const QFont& from, const QRect& area, int flags, const QString& caption);

private:
    QFont fitted_;
    QFont from_;
    QRect area_;
    int flags_ = 0;
    QString caption_;
    bool valid_ = false;
};
