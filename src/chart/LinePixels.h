#pragma once

#include <QPoint>

#include <cstdlib>

// Visits the pixels of a line from a to b, both ends included, the way a
// plain line of the diagram is drawn: one pixel per step along the longer
// axis, `width` pixels across it (from -(width - 1) / 2 to width / 2), so a
// line keeps one width whatever its slope; a single point is a square. A dotted line sets `width`
// steps, then leaves `width` out, starting with the first. Every pixel is visited once, so drawing
// a line twice in exclusive-or mode gives back what was there.
template <typename Fn> void forEachLinePixel(QPoint a, QPoint b, bool dotted, int width, Fn &&fn)
{
    const int dx = std::abs(b.x() - a.x());
    const int dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1;
    const int sy = a.y() < b.y() ? 1 : -1;
    const bool acrossY = dx > -dy; // mostly horizontal: the width runs down
    const int first = -(width - 1) / 2;
    const int last = width / 2;
    if (a == b) { // a bar of one reading: a square dot
        for (int i = first; i <= last; ++i)
            for (int j = first; j <= last; ++j)
                fn(a.x() + i, a.y() + j);
        return;
    }
    int err = dx + dy;
    int x = a.x();
    int y = a.y();
    for (int step = 0;; ++step) {
        if (!dotted || (step / width) % 2 == 0) {
            for (int across = first; across <= last; ++across)
                acrossY ? fn(x, y + across) : fn(x + across, y);
        }
        if (x == b.x() && y == b.y())
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}
