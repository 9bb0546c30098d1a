#pragma once

#include <QPoint>

#include <cstdlib>

// Visits the pixels of a one-pixel line from a to b, both ends included,
// the way a plain line of the diagram is drawn. A dotted line sets every
// second pixel, starting with the first.
template <typename Fn> void forEachLinePixel(QPoint a, QPoint b, bool dotted, Fn &&fn)
{
    const int dx = std::abs(b.x() - a.x());
    const int dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1;
    const int sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    int x = a.x();
    int y = a.y();
    for (int step = 0;; ++step) {
        if (!dotted || step % 2 == 0)
            fn(x, y);
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
