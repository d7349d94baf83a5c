#include "app/caption_fit.h"

#include <QFontMetrics>
#include <QWidget>

QFont fittedCaptionFont(const QFont& from, const QRect& area, int flags, const QString& caption)
{
    QFont font = from;
    for (double points = from.pointSizeF(); points >= kSmallestCaptionPointSize; points -= 0.5) {
        font.setPointSizeF(points);
        if (area.contains(QFontMetrics(font).boundingRect(area, flags, caption))) {
            return font;
        }
    }
    font.setPointSizeF(kSmallestCaptionPointSize);
    return font;
}

QRect shownPart(const QWidget& control)
{
    const QWidget* parent = control.parentWidget();
    if (parent == nullptr) {
        return control.rect();
    }
    return control.rect() & QRect(control.mapFromParent(QPoint(0, 0)), parent->size());
}

const QFont& CaptionFit::font(const QFont& from, const QRect& area, int flags,
                              const QString& caption)
{
    if (!valid_ || from != from_ || area != area_ || flags != flags_ || caption != caption_) {
        fitted_ = fittedCaptionFont(from, area, flags, caption);
        from_ = from;
        area_ = area;
        flags_ = flags;
        caption_ = caption;
        valid_ = true;
    }
    return fitted_;
}
