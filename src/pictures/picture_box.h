#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

// A white drawing surface with a user scale. What is drawn goes onto a backing
// image, so it survives the box being covered and uncovered; `picture` is a
// separate property, null until one is set.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The inner area spans this many user units across and down, origin top left.
    void setScaleHeight(double units);
    void setScaleWidth(double units);
    double scaleWidth() const { return scaleWidth_; }
    double scaleHeight() const { return scaleHeight_; }
    QPointF toPixels(QPointF user) const;

    // A true circle in the box's foreground colour, one pixel wide, unfilled;
    // the radius counts in units across.
    void drawCircle(QPointF centre, double radius);

    // What the box shows: its white background, what was drawn on it and the
    // picture over them. This is what is copied as the box's picture.
    QImage shownImage() const;

    const QImage& backing() const { return backing_; }
    const QPixmap& picture() const { return picture_; }
    void setPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double pixelsPerUnitAcross() const;
    void growBacking();

    QImage backing_;
    QPixmap picture_;
    double scaleWidth_;
    double scaleHeight_;
};
