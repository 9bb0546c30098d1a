#pragma once

#include <QFont>
#include <QRect>
#include <QRgb>
#include <QString>
#include <Qt>

#include <optional>
#include <span>

// The window's fixed layout as data: every label with its rectangle in
// twips, colours and font, converted to pixels once when the window is built.
namespace KalvikLayout {

inline constexpr int kTwipsPerPixel = 15;

inline constexpr QRgb kTeal = qRgb(0, 128, 128);
inline constexpr QRgb kLightYellow = qRgb(255, 255, 192);
inline constexpr QRgb kNavy = qRgb(0, 0, 128);
inline constexpr QRgb kPurple = qRgb(156, 0, 158);
inline constexpr QRgb kBrightGreen = qRgb(0, 255, 0);
inline constexpr QRgb kDarkRed = qRgb(64, 0, 0);
inline constexpr QRgb kListBackground = qRgb(224, 223, 194);

inline constexpr QRect kClientTwips(0, 0, 11880, 6885);
inline constexpr QRect kDiagramTwips(780, 450, 10950, 5100);
inline constexpr int kDiagramBorderPixels = 2;
inline constexpr QRect kListTwips(6060, 150, 4785, 4740); // inside the diagram
inline constexpr QRect kIconTwips[2] = {QRect(2520, 6300, 480, 480), QRect(10950, 6270, 480, 480)};

enum class Face { Arial, MsSansSerif };
enum class Parent { Client, Diagram };

struct FontSpec
{
    Face face;
    double points;
    bool bold;
    bool italic;
};

inline constexpr FontSpec kWindowFont{Face::Arial, 9.75, true, false};
inline constexpr FontSpec kSmallBold{Face::MsSansSerif, 8.25, true, false};

struct LabelSpec
{
    const char *group; // element name; indexed groups get "_<index>" in objectName
    int index;         // -1 for an element that is not in a group
    const char *caption;
    Parent parent;
    QRect twips;
    QRgb text;
    std::optional<QRgb> background; // opaque labels only
    Qt::Alignment alignment;
    FontSpec font;
    bool sunken;
    bool autoSize = false; // widens to fit its caption
};

std::span<const LabelSpec> labels();

QRect toPixels(QRect twips);
QString objectName(const char *group, int index);
QFont font(const FontSpec &style);

} // namespace KalvikLayout
