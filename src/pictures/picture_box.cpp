#include "pictures/picture_box.h"

#include <QPainter>
#include <QPen>
#include <QResizeEvent>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), scaleWidth_(0), scaleHeight_(0)
{
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::setScaleHeight(double units)
{
    scaleHeight_ = units;
}

void PictureBox::setScaleWidth(double units)
{
    scaleWidth_ = units;
}

// Before a scale is set, user units are pixels.
double PictureBox::pixelsPerUnitAcross() const
{
    return scaleWidth_ > 0 ? width() / scaleWidth_ : 1.0;
}

QPointF PictureBox::toPixels(QPointF user) const
{
    const double down = scaleHeight_ > 0 ? height() / scaleHeight_ : 1.0;
    return {user.x() * pixelsPerUnitAcross(), user.y() * down};
}

void PictureBox::drawCircle(QPointF centre, double radius)
{
    growBacking();
    const double pixels = radius * pixelsPerUnitAcross();
    QPainter painter(&backing_);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(toPixels(centre), pixels, pixels);
    painter.end();
    update();
}

QImage PictureBox::shownImage() const
{
    QImage shown(size(), QImage::Format_RGB32);
    shown.fill(Qt::white);
    QPainter painter(&shown);
    painter.drawImage(0, 0, backing_);
    if (!picture_.isNull()) {
        painter.drawPixmap(0, 0, picture_);
    }
    painter.end();
    return shown;
}

void PictureBox::setPicture(const QPixmap& picture)
{
    picture_ = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, backing_);
    if (!picture_.isNull()) {
        painter.drawPixmap(0, 0, picture_);
    }
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    // Nothing to keep until something is drawn; a box never drawn on costs
    // no image.
    if (!backing_.isNull()) {
        growBacking();
    }
    QWidget::resizeEvent(event);
}

// Keeps what is drawn: the backing image grows with the box, never shrinks.
void PictureBox::growBacking()
{
    const QSize needed = size().expandedTo(backing_.size());
    if (needed == backing_.size()) {
        return;
    }
    QImage grown(needed, QImage::Format_RGB32);
    grown.fill(Qt::white);
    QPainter painter(&grown);
    painter.drawImage(0, 0, backing_);
    painter.end();
    backing_ = grown;
}
