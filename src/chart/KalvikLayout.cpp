#include "KalvikLayout.h"

#include <QStringList>

#include <cmath>
#include <vector>

namespace KalvikLayout {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kCentreMiddle = Qt::AlignCenter;
constexpr FontSpec kRubrik{Face::MsSansSerif, 9.75, true, false};
constexpr FontSpec kTempC{Face::MsSansSerif, 12, true, false};
constexpr FontSpec kTitle{Face::MsSansSerif, 18, false, true};
constexpr std::nullopt_t kTransparent = std::nullopt;

// The elements of a group share their parent, colours, alignment and font;
// each has its own index, caption and rectangle in twips.
struct Place
{
    int index;
    const char *caption;
    QRect twips;
};

struct Group
{
    const char *name;
    Parent parent;
    QRgb text;
    std::optional<QRgb> background;
    Qt::Alignment alignment;
    FontSpec font;
    bool sunken;
    bool autoSize;
    std::vector<Place> places;
};

std::vector<LabelSpec> layoutTable()
{
    // clang-format off
    const Group groups[] = {
        // The pressure scale inside the diagram; index 1 is the heading above it.
        {"Label1", Parent::Diagram, kPurple, kTransparent, kLeft, kSmallBold, false, false, {
            {2, "1043", {10440, 420, 465, 225}}, {5, "1033", {10440, 1050, 465, 225}}, {4, "1023", {10440, 1680, 465, 225}},
            {0, "1013", {10440, 2310, 465, 225}}, {6, "1003", {10440, 2940, 465, 225}}, {7, "993", {10530, 3570, 465, 225}},
            {3, "983", {10530, 4200, 465, 225}}, {8, "973", {10530, 4860, 465, 225}}}},
        {"Label1", Parent::Client, kLightYellow, kTransparent, kLeft, kSmallBold, false, false, {{1, "QNH", {780, 240, 1335, 225}}}},
        // The pointer read-out at the top edge of the diagram.
        {"lblXCord", Parent::Diagram, kNavy, kTransparent, kCentre, kWindowFont, false, false, {{-1, "", {3210, 0, 2175, 285}}}},
        {"lblYCord", Parent::Diagram, kNavy, kTransparent, kCentre, kWindowFont, false, false, {{-1, "", {5340, 0, 1155, 255}}}},
        // The temperature scale left of the diagram.
        {"lblVertical", Parent::Client, kLightYellow, kTransparent, kCentre, kWindowFont, false, false, {
            {0, "40", {270, 330, 405, 240}}, {6, "30", {300, 930, 345, 225}}, {5, "20", {270, 1560, 405, 225}},
            {4, "10", {180, 2220, 495, 225}}, {3, "0 C", {330, 2850, 375, 240}}, {2, "- 10", {150, 3450, 525, 240}},
            {1, "- 20", {120, 4080, 525, 240}}, {7, "- 30", {180, 4740, 405, 240}}, {8, "- 40", {180, 5370, 465, 240}}}},
        // The month names below the diagram, as wide as their text.
        {"lblMonth", Parent::Client, kLightYellow, kTransparent, kLeft, kWindowFont, false, true, {
            {1, "Jan", {870, 5640, 315, 225}}, {2, "Feb", {1770, 5640, 300, 225}}, {3, "Mars", {2700, 5640, 435, 225}},
            {4, "April", {3630, 5640, 390, 225}}, {5, "Maj", {4530, 5640, 300, 225}}, {6, "Juni", {5400, 5640, 360, 225}},
            {7, "Juli", {6450, 5640, 300, 225}}, {8, "Aug", {7320, 5640, 330, 225}}, {9, "Sep", {8220, 5640, 330, 225}},
            {10, "Okt", {9210, 5640, 300, 225}}, {11, "Nov", {10080, 5640, 315, 225}}, {12, "Dec", {10980, 5640, 330, 225}}}},
        // The bottom row.
        {"lblRubrik", Parent::Client, kLightYellow, kTransparent, kLeft, kRubrik, false, false, {{0, "Temperatur Nu", {720, 6060, 1575, 255}}}},
        {"lblTempC", Parent::Client, kBrightGreen, kDarkRed, kCentreMiddle, kTempC, true, false, {{-1, "-12.5 C", {690, 6330, 1695, 375}}}},
        {"lblSthlm", Parent::Client, kLightYellow, kTransparent, kLeft, kTitle, false, false,
         {{-1, "Temperaturstatestik f\u00f6r S\u00f6dra Stockholm  ", {3000, 6270, 7875, 435}}}},
    };
    // clang-format on
    std::vector<LabelSpec> table;
    for (const Group &g : groups)
        for (const Place &p : g.places)
            table.push_back({g.name, p.index, p.caption, g.parent, p.twips, g.text, g.background,
                             g.alignment, g.font, g.sunken, g.autoSize});
    return table;
}

} // namespace

std::span<const LabelSpec> labels()
{
    static const std::vector<LabelSpec> table = layoutTable();
    return table;
}

QRect toPixels(QRect twips)
{
    auto px = [](int t) { return int(std::lround(double(t) / kTwipsPerPixel)); };
    return QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height()));
}

QString objectName(const char *group, int index)
{
    const QString name = QString::fromLatin1(group);
    return index < 0 ? name : name + QLatin1Char('_') + QString::number(index);
}

QFont font(const FontSpec &style)
{
    QFont f;
    // Liberation Sans has Arial's metrics; the old MS Sans Serif has no free
    // twin, so it falls back to the same sans-serif family.
    if (style.face == Face::Arial)
        f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                       QStringLiteral("DejaVu Sans")});
    else
        f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                       QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    // Sizes were set at 96 dots per inch; pixel sizes keep the layout's fit
    // on any screen, and Qt scales them on high-density ones.
    f.setPixelSize(int(std::lround(style.points * 96.0 / 72.0)));
    f.setBold(style.bold);
    f.setItalic(style.italic);
    return f;
}

} // namespace KalvikLayout
