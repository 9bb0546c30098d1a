#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>

#include <cmath>

// Maps the diagram's user coordinates (x 0..365 days, y 0..80 units, y down)
// onto the pixels of its inner area and back. Drawing and the pointer
// read-out both go through here, so a point read off the diagram is the
// point that was drawn.
class DiagramScaleMap
{
public:
    static constexpr double kLeft = 0.0;
    static constexpr double kTop = 0.0;
    static constexpr double kWidth = 365.0;
    static constexpr double kHeight = 80.0;

    explicit DiagramScaleMap(QSize pixels = QSize(726, 336)) : m_pixels(pixels) {}

    QSize pixelSize() const { return m_pixels; }

    double transformX(double x) const { return (x - kLeft) * m_pixels.width() / kWidth; }
    double transformY(double y) const { return (y - kTop) * m_pixels.height() / kHeight; }
    double invTransformX(double px) const { return kLeft + px * kWidth / m_pixels.width(); }
    double invTransformY(double py) const { return kTop + py * kHeight / m_pixels.height(); }

    // The pixel a user coordinate falls on: nearest, halves up.
    static int toPixel(double v) { return int(std::floor(v + 0.5)); }
    QPoint toPixel(QPointF user) const
    {
        return QPoint(toPixel(transformX(user.x())), toPixel(transformY(user.y())));
    }
    // The user coordinates of a pixel's top-left corner, as pointer events report them.
    QPointF fromPixel(QPoint px) const
    {
        return QPointF(invTransformX(px.x()), invTransformY(px.y()));
    }

private:
    QSize m_pixels;
};
