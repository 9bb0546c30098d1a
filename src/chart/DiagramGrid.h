#pragma once

#include <QRgb>

#include <array>

// The diagram's fixed grid: line elements of the inner area, in twips, the
// way the window was laid out. Lines that reach past the edge are cut there.
struct GridLine
{
    const char *name;
    int x1, y1, x2, y2; // twips of the inner area
    bool dotted;
    QRgb rgb;
};

namespace DiagramGrid {

inline constexpr QRgb kWindowText = qRgb(0, 0, 0);
inline constexpr QRgb kZeroLine = qRgb(255, 128, 128);

inline constexpr std::array<GridLine, 26> kLines{{
    // Every 10 degrees (and 10 hPa).
    {"Line5_1", 10860, 630, -30, 630, true, kWindowText},
    {"Line5_0", 10860, 1260, -30, 1260, true, kWindowText},
    {"Line6", 10860, 1890, -30, 1890, true, kWindowText},
    {"Line1", 10890, 2520, 0, 2520, false, kZeroLine},
    {"Line7_0", 10860, 3150, -30, 3150, true, kWindowText},
    {"Line7_1", 10860, 3780, 0, 3780, true, kWindowText},
    {"Line7_2", 10860, 4410, -30, 4410, true, kWindowText},
    // Quarter-year boundaries.
    {"Line3", 2715, 30, 2715, 5070, true, kWindowText},
    {"Line4", 5430, 30, 5430, 5070, true, kWindowText},
    {"Line2", 8160, 30, 8160, 5070, true, kWindowText},
    // Month starts, ticks at the bottom edge.
    {"Line8", 907, 5012, 907, 4890, false, kWindowText},
    {"Line9", 1770, 5012, 1770, 4890, false, kWindowText},
    {"Line10", 3600, 5012, 3600, 4890, false, kWindowText},
    {"Line11", 4530, 5012, 4530, 4890, false, kWindowText},
    {"Line12", 6330, 5012, 6330, 4890, false, kWindowText},
    {"Line13", 7256, 5012, 7256, 4890, false, kWindowText},
    {"Line14", 9070, 5012, 9070, 4890, false, kWindowText},
    {"Line15", 9990, 5012, 9990, 4890, false, kWindowText},
    // Every 5 degrees between the lines, ticks at the left edge.
    {"Line16", 0, 315, 77, 315, false, kWindowText},
    {"Line17", 0, 945, 77, 945, false, kWindowText},
    {"Line18_0", 0, 1575, 77, 1575, false, kWindowText},
    {"Line18_1", 0, 2205, 77, 2205, false, kWindowText},
    {"Line19", 0, 2835, 77, 2835, false, kWindowText},
    {"Line20_0", 0, 3465, 77, 3465, false, kWindowText},
    {"Line20_1", 0, 4095, 90, 4095, false, kWindowText},
    {"Line20_2", 0, 4725, 90, 4725, false, kWindowText},
}};

} // namespace DiagramGrid
