#include "KalvikLayout.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace KalvikLayout {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kCentreMiddle = Qt::AlignCenter;
constexpr FontSpec kRubrik{Face::MsSansSerif, 9.75, true, false};
constexpr FontSpec kTempC{Face::MsSansSerif, 12, true, false};
constexpr FontSpec kTitle{Face::MsSansSerif, 18, false, true};
constexpr std::nullopt_t kTransparent = std::nullopt;

// clang-format off
const std::array kLabels = std::to_array<LabelSpec>({
    // The pressure scale inside the diagram; index 1 is the heading above it.
    {"Label1", 2, "1043", Parent::Diagram, {10440,  420, 465, 225}, kPurple, kTransparent, kLeft, kSmallBold, false},
    {"Label1", 5, "1033", Parent::Diagram, {10440, 1050, 465, 225}, kPurple, kTransparent, kLeft, kSmallBold, false},
    {"Label1", 4, "1023", Parent::Diagram, {10440, 1680, 465, 225}, kPurple, kTransparent, kLeft, kSmallBold, false},
    {"Label1", 0, "1013", Parent::Diagram, {10440, 2310, 465, 225}, kPurple, kTransparent, kLeft, kSmallBold, false},
    {"Label1", 6, "1003", Parent::Diagram, {10440, 2940, 465, 225}, kPurple, kTransparent, kLeft, kSmallBold, false},
    {"Label1", 7, "993",  Parent::Diagram, {10530, 3570, 465, 225}, kPurple, kTransparent, kLeft, kSmallBold, false},
    {"Label1", 3, "983",  Parent::Diagram, {10530, 4200, 465, 225}, kPurple, kTransparent, kLeft, kSmallBold, false},
    {"Label1", 8, "973",  Parent::Diagram, {10530, 4860, 465, 225}, kPurple, kTransparent, kLeft, kSmallBold, false},
    {"Label1", 1, "QNH",  Parent::Client,  {780, 240, 1335, 225}, kLightYellow, kTransparent, kLeft, kSmallBold, false},
    // The pointer read-out at the top edge of the diagram.
    {"lblXCord", -1, "", Parent::Diagram, {3210, 0, 2175, 285}, kNavy, kTransparent, kCentre, kWindowFont, false},
    {"lblYCord", -1, "", Parent::Diagram, {5340, 0, 1155, 255}, kNavy, kTransparent, kCentre, kWindowFont, false},
    // The temperature scale left of the diagram.
    {"lblVertical", 0, "40",   Parent::Client, {270,  330, 405, 240}, kLightYellow, kTransparent, kCentre, kWindowFont, false},
    {"lblVertical", 6, "30",   Parent::Client, {300,  930, 345, 225}, kLightYellow, kTransparent, kCentre, kWindowFont, false},
    {"lblVertical", 5, "20",   Parent::Client, {270, 1560, 405, 225}, kLightYellow, kTransparent, kCentre, kWindowFont, false},
    {"lblVertical", 4, "10",   Parent::Client, {180, 2220, 495, 225}, kLightYellow, kTransparent, kCentre, kWindowFont, false},
    {"lblVertical", 3, "0 C",  Parent::Client, {330, 2850, 375, 240}, kLightYellow, kTransparent, kCentre, kWindowFont, false},
    {"lblVertical", 2, "- 10", Parent::Client, {150, 3450, 525, 240}, kLightYellow, kTransparent, kCentre, kWindowFont, false},
    {"lblVertical", 1, "- 20", Parent::Client, {120, 4080, 525, 240}, kLightYellow, kTransparent, kCentre, kWindowFont, false},
    {"lblVertical", 7, "- 30", Parent::Client, {180, 4740, 405, 240}, kLightYellow, kTransparent, kCentre, kWindowFont, false},
    {"lblVertical", 8, "- 40", Parent::Client, {180, 5370, 465, 240}, kLightYellow, kTransparent, kCentre, kWindowFont, false},
    // The month names below the diagram.
    {"lblMonth",  1, "Jan",   Parent::Client, {  870, 5640, 315, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth",  2, "Feb",   Parent::Client, { 1770, 5640, 300, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth",  3, "Mars",  Parent::Client, { 2700, 5640, 435, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth",  4, "April", Parent::Client, { 3630, 5640, 390, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth",  5, "Maj",   Parent::Client, { 4530, 5640, 300, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth",  6, "Juni",  Parent::Client, { 5400, 5640, 360, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth",  7, "Juli",  Parent::Client, { 6450, 5640, 300, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth",  8, "Aug",   Parent::Client, { 7320, 5640, 330, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth",  9, "Sep",   Parent::Client, { 8220, 5640, 330, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth", 10, "Okt",   Parent::Client, { 9210, 5640, 300, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth", 11, "Nov",   Parent::Client, {10080, 5640, 315, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    {"lblMonth", 12, "Dec",   Parent::Client, {10980, 5640, 330, 225}, kLightYellow, kTransparent, kLeft, kWindowFont, false, true},
    // The bottom row.
    {"lblRubrik", 0, "Temperatur Nu", Parent::Client, {720, 6060, 1575, 255}, kLightYellow, kTransparent, kLeft, kRubrik, false},
    {"lblTempC", -1, "-12.5 C", Parent::Client, {690, 6330, 1695, 375}, kBrightGreen, kDarkRed, kCentreMiddle, kTempC, true},
    {"lblSthlm", -1, "Temperaturstatestik f\u00f6r S\u00f6dra Stockholm  ", Parent::Client,
     {3000, 6270, 7875, 435}, kLightYellow, kTransparent, kLeft, kTitle, false},
});
// clang-format on

} // namespace

std::span<const LabelSpec> labels()
{
    return kLabels;
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
