#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>

#include <cmath>

// Maps the diagram's user coordinates (x 0..365 days, y 0..80 units, y down)
// onto the pixels of its inner area and back; the one place that knows how
// days and pixel columns meet. Drawing and the pointer
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

    // The number of days of the year shown (365 or 366): the days a pointer
    // can read off a column.
    void setDays(int days) { m_days = days; }

    double transformX(double x) const { return (x - kLeft) * m_pixels.width() / kWidth; }
    double transformY(double y) const { return (y - kTop) * m_pixels.height() / kHeight; }
    double invTransformX(double px) const { return kLeft + px * kWidth / m_pixels.width(); }
    double invTransformY(double py) const { return kTop + py * kHeight / m_pixels.height(); }

    // The pixel a user coordinate falls on: nearest, halves up.
    static int toPixel(double v) { return int(std::floor(v + 0.5)); }

    // The pixel column of x. The right edge (x = 365, the last day of a leap
    // year) would be one column past the last: it is drawn in the last one.
    int column(double x) const
    {
        const int c = toPixel(transformX(x));
        return c == m_pixels.width() ? c - 1 : c;
    }
    QPoint toPixel(QPointF user) const
    {
        return QPoint(column(user.x()), toPixel(transformY(user.y())));
    }

    // The user point that a pointer on a pixel reads. A column on which a
    // day of the year is drawn (its bar, its pressure vertex) reads that day
    // exactly; any other column reads its centre, which lies between its
    // neighbours. Either way the point is drawn back on the same column.
    QPointF fromPixel(QPoint px) const
    {
        const double centre = invTransformX(px.x());
        double x = centre;
        for (const double day : {std::floor(centre), std::ceil(centre)}) {
            if (day >= 0 && day < m_days && column(day) == px.x()) {
                x = day;
                break;
            }
        }
        return QPointF(x, invTransformY(px.y()));
    }

private:
    QSize m_pixels;
    int m_days = 366;
};
