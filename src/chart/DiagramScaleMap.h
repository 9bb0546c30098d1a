#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>

#include <algorithm>
#include <cmath>

// Maps the diagram's user coordinates (x 0..365 days, y 0..80 units, y down)
// onto the pixels of its inner area and back; the one place that knows how
// days and pixel columns meet. Drawing and the pointer
// read-out both go through here, so a point read off the diagram is the
// point that was drawn. The pixels are the screen's own, and a line drawn at
// column c covers lineWidth columns, from c - (lineWidth - 1) / 2 to
// c + lineWidth / 2.
class DiagramScaleMap
{
public:
    static constexpr double kLeft = 0.0;
    static constexpr double kTop = 0.0;
    static constexpr double kWidth = 365.0;
    static constexpr double kHeight = 80.0;

    explicit DiagramScaleMap(QSize pixels = QSize(726, 336), int lineWidth = 1)
        : m_pixels(pixels), m_lineWidth(lineWidth)
    {}

    QSize pixelSize() const { return m_pixels; }
    int lineWidth() const { return m_lineWidth; }

    // The number of days of the year shown (365 or 366): the days a pointer
    // can read off a column.
    void setDays(int days) { m_days = days; }
    int days() const { return m_days; }

    double transformX(double x) const { return (x - kLeft) * m_pixels.width() / kWidth; }
    double transformY(double y) const { return (y - kTop) * m_pixels.height() / kHeight; }
    double invTransformX(double px) const { return kLeft + px * kWidth / m_pixels.width(); }
    double invTransformY(double py) const { return kTop + py * kHeight / m_pixels.height(); }

    // The pixel a user coordinate falls on: nearest, halves up.
    static int toPixel(double v) { return int(std::floor(v + 0.5)); }

    // The pixel column of x. The right edge (x = 365, the last day of a leap
    // year) would be past the last column: it is drawn in the last ones that
    // the day before leaves free, so no bar is drawn over another.
    int column(double x) const
    {
        const int c = toPixel(transformX(x));
        const int width = m_pixels.width();
        const int last = width - 1 - m_lineWidth / 2;
        if (c <= last || c > width)
            return c;
        const int afterDayBefore = toPixel(transformX(x - 1)) + m_lineWidth;
        return std::max(last, std::min(afterDayBefore, width - 1));
    }
    QPoint toPixel(QPointF user) const
    {
        return QPoint(column(user.x()), toPixel(transformY(user.y())));
    }

    // The user point that a pointer on a pixel reads. A column on which a
    // day of the year is drawn (its bar, its pressure vertex) reads that day
    // exactly; any other column reads its centre, which lies between its
    // neighbours. Either way the point is drawn back over the same column.
    QPointF fromPixel(QPoint px) const
    {
        const double centre = invTransformX(px.x());
        double x = centre;
        for (const double day : {std::floor(centre), std::ceil(centre)}) {
            const int c = column(day);
            if (day >= 0 && day < m_days && px.x() >= c - (m_lineWidth - 1) / 2 &&
                px.x() <= c + m_lineWidth / 2) {
                x = day;
                break;
            }
        }
        return QPointF(x, invTransformY(px.y()));
    }

private:
    QSize m_pixels;
    int m_lineWidth;
    int m_days = 366;
};
