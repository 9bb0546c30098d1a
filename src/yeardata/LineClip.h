#pragma once

#include <algorithm>
#include <cmath>
#include <optional>

struct ClipBox
{
    double left, top, right, bottom;
};

// The stretch of a line that lies inside a box, as parameters along it:
// 0 is its start, 1 its end.
struct ClipStretch
{
    double enter = 0, leave = 1;
};

// Liang-Barsky: narrows the part of the line from (x1, y1) to (x2, y2) inside
// each edge of box in turn. None when no part is inside, or a coordinate is
// not finite.
inline std::optional<ClipStretch> clipLine(double x1, double y1, double x2, double y2,
                                           const ClipBox &box)
{
    const double dx = x2 - x1, dy = y2 - y1;
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(dx) || !std::isfinite(dy))
        return std::nullopt;
    ClipStretch s;
    const auto inside = [&s](double p, double q) { // the part where p * t <= q
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0)
            s.enter = std::max(s.enter, t);
        else
            s.leave = std::min(s.leave, t);
        return s.enter <= s.leave;
    };
    if (inside(-dx, x1 - box.left) && inside(dx, box.right - x1) && inside(-dy, y1 - box.top) &&
        inside(dy, box.bottom - y1))
        return s;
    return std::nullopt;
}
