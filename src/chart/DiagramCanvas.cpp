#include "DiagramCanvas.h"

#include "DiagramGrid.h"
#include "LineClip.h"
#include "LinePixels.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr QSize kLayoutSize(726, 336); // the inner area, in pixels of the layout

// Lines are clipped a little outside the visible area, in user units, so that
// far-away points cost nothing and edge pixels are still drawn exactly.
constexpr double kClipMargin = 2.0;

QPoint twipsToPixel(int x, int y, qreal ratio)
{
    return QPoint(DiagramScaleMap::toPixel(double(x) / kTwipsPerPixel * ratio),
                  DiagramScaleMap::toPixel(double(y) / kTwipsPerPixel * ratio));
}

QSize deviceSize(qreal ratio)
{
    return QSize(int(std::lround(kLayoutSize.width() * ratio)),
                 int(std::lround(kLayoutSize.height() * ratio)));
}

} // namespace

DiagramCanvas::DiagramCanvas(QWidget *parent)
    : QWidget(parent), m_map(kLayoutSize), m_image(kLayoutSize, QImage::Format_RGB32)
{
    setFixedSize(kLayoutSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    clear();
}

void DiagramCanvas::setPixelRatio(qreal ratio)
{
    m_ratio = ratio;
    // One width for every line: the ratio rounded, never thinner than a pixel.
    const int days = m_map.days();
    m_map = DiagramScaleMap(deviceSize(ratio), std::max(1, int(std::lround(ratio))));
    m_map.setDays(days);
    m_image = QImage(m_map.pixelSize(), QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    for (PixelLine &line : m_xorLines) {
        line.a = m_map.toPixel(line.from);
        line.b = m_map.toPixel(line.to);
    }
    clear();
}

void DiagramCanvas::setFollowsScreen(bool follow)
{
    m_followsScreen = follow;
    if (follow && devicePixelRatioF() != m_ratio)
        setPixelRatio(devicePixelRatioF());
}

void DiagramCanvas::followScreen()
{
    if (!m_followsScreen || devicePixelRatioF() == m_ratio)
        return;
    setPixelRatio(devicePixelRatioF());
    // Not from inside a paint: whoever redraws may read a file or show a message.
    QMetaObject::invokeMethod(this, &DiagramCanvas::pixelRatioChanged, Qt::QueuedConnection);
}

bool DiagramCanvas::event(QEvent *event)
{
    if (event->type() == QEvent::ScreenChangeInternal)
        followScreen();
    return QWidget::event(event);
}

void DiagramCanvas::clear()
{
    m_curvePixels.assign(std::size_t(m_image.width()) * std::size_t(m_image.height()), false);
    paintSurface(m_image);
    update();
}

DiagramCanvas::~DiagramCanvas()
{
    // The labels under the curves are our children and die after our members:
    // their last events and signals must not reach us.
    for (QWidget *label : m_underCurves) {
        label->removeEventFilter(this);
        disconnect(label, nullptr, this, nullptr);
    }
}

void DiagramCanvas::putUnderCurves(QWidget *label)
{
    m_underCurves.push_back(label);
    label->installEventFilter(this);
    connect(label, &QObject::destroyed, this, [this, label] { std::erase(m_underCurves, label); });
    refreshSurface();
}

bool DiagramCanvas::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Paint:
        // Already in the surface, under the curves; painted only into it.
        return !m_paintingSurface;
    case QEvent::Show:
    case QEvent::Hide:
        followUnderCurves();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void DiagramCanvas::paintSurface(QImage &image)
{
    image.fill(kBackground);
    for (const GridLine &g : DiagramGrid::kLines)
        drawKept(image,
                 {twipsToPixel(g.x1, g.y1, m_ratio),
                  twipsToPixel(g.x2, g.y2, m_ratio),
                  g.dotted,
                  g.rgb,
                  {},
                  {}},
                 nullptr);
    m_shownUnderCurves = shownUnderCurves();
    m_paintingSurface = true;
    for (std::size_t i = 0; i < m_underCurves.size(); ++i)
        if (m_shownUnderCurves[i])
            m_underCurves[i]->render(&image, m_underCurves[i]->pos(), QRegion(),
                                     QWidget::DrawChildren);
    m_paintingSurface = false;
}

std::vector<bool> DiagramCanvas::shownUnderCurves() const
{
    std::vector<bool> shown;
    for (const QWidget *label : m_underCurves)
        shown.push_back(label->isVisibleTo(this));
    return shown;
}

void DiagramCanvas::followUnderCurves()
{
    // Labels of a diagram that was never shown come and go without events:
    // also asked before drawing and painting.
    if (shownUnderCurves() != m_shownUnderCurves)
        refreshSurface();
}

void DiagramCanvas::refreshSurface()
{
    QImage surface(m_image.size(), m_image.format());
    surface.setDevicePixelRatio(m_image.devicePixelRatio());
    paintSurface(surface);
    const int width = m_image.width();
    for (int y = 0; y < m_image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        const auto *from = reinterpret_cast<const QRgb *>(surface.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (!m_curvePixels[std::size_t(y) * std::size_t(width) + std::size_t(x)])
                row[x] = from[x];
    }
    update();
}

void DiagramCanvas::drawKept(QImage &image, const PixelLine &line, QRect *dirty)
{
    const QRect bounds = image.rect();
    const bool curve = dirty != nullptr; // the grid is part of the surface
    forEachLinePixel(line.a, line.b, line.dotted, m_map.lineWidth(), [&](int x, int y) {
        if (!bounds.contains(x, y))
            return;
        reinterpret_cast<QRgb *>(image.scanLine(y))[x] = line.rgb;
        if (curve)
            m_curvePixels[std::size_t(y) * std::size_t(image.width()) + std::size_t(x)] = true;
    });
    if (dirty)
        *dirty |= boundsOf(line);
}

QRect DiagramCanvas::boundsOf(const PixelLine &line) const
{
    const int before = (m_map.lineWidth() - 1) / 2, after = m_map.lineWidth() / 2;
    // Not QRect(a, b).normalized(): for a line drawn upwards or leftwards that
    // leaves out the end points' rows and columns.
    const QRect ends(QPoint(std::min(line.a.x(), line.b.x()), std::min(line.a.y(), line.b.y())),
                     QPoint(std::max(line.a.x(), line.b.x()), std::max(line.a.y(), line.b.y())));
    return ends.adjusted(-before, -before, after, after);
}

QRect DiagramCanvas::toLayout(const QRect &device) const
{
    return QRectF(QPointF(device.topLeft()) / m_ratio, QSizeF(device.size()) / m_ratio)
        .toAlignedRect();
}

bool DiagramCanvas::clipToView(QPointF &from, QPointF &to) const
{
    constexpr ClipBox view{DiagramScaleMap::kLeft - kClipMargin,
                           DiagramScaleMap::kTop - kClipMargin,
                           DiagramScaleMap::kLeft + DiagramScaleMap::kWidth + kClipMargin,
                           DiagramScaleMap::kTop + DiagramScaleMap::kHeight + kClipMargin};
    const double x0 = from.x(), y0 = from.y();
    const double dx = to.x() - x0, dy = to.y() - y0;
    const std::optional<ClipStretch> part = clipLine(x0, y0, to.x(), to.y(), view);
    if (!part)
        return false;
    to = QPointF(x0 + part->leave * dx, y0 + part->leave * dy);
    from = QPointF(x0 + part->enter * dx, y0 + part->enter * dy);
    return true;
}

void DiagramCanvas::drawLine(QPointF from, QPointF to)
{
    if (!clipToView(from, to))
        return;
    const PixelLine line{m_map.toPixel(from),
                         m_map.toPixel(to),
                         m_style == LineStyle::Dotted,
                         m_foreColor,
                         from,
                         to};
    if (m_mode == DrawMode::Copy) {
        followUnderCurves();
        QRect dirty;
        drawKept(m_image, line, &dirty);
        update(toLayout(dirty));
        return;
    }
    // Exclusive-or twice gives back what was there: the line simply goes away.
    // Matched by position alone, so that a redraw between press and release
    // (which resets the line style) cannot leave a cross-hair behind.
    const auto it = std::find_if(m_xorLines.begin(), m_xorLines.end(), [&](const PixelLine &l) {
        return l.a == line.a && l.b == line.b;
    });
    if (it != m_xorLines.end())
        m_xorLines.erase(it);
    else
        m_xorLines.push_back(line);
    update(toLayout(boundsOf(line)));
}

void DiagramCanvas::drawSegments(std::span<const Segment> segments)
{
    followUnderCurves();
    QRect dirty;
    for (const Segment &s : segments) {
        QPointF from(s.x1, s.y1), to(s.x2, s.y2);
        if (!clipToView(from, to))
            continue;
        const QRgb rgb = qRgb((s.rgb >> 16) & 0xff, (s.rgb >> 8) & 0xff, s.rgb & 0xff);
        drawKept(m_image, {m_map.toPixel(from), m_map.toPixel(to), false, rgb, {}, {}}, &dirty);
    }
    update(toLayout(dirty));
}

void DiagramCanvas::paintEvent(QPaintEvent *event)
{
    followScreen();
    followUnderCurves();
    QPainter painter(this);
    for (const QRect &r : event->region()) {
        // The device pixels under the dirty rectangle, copied one to one.
        const QRect area =
            QRectF(QPointF(r.topLeft()) * m_ratio, QSizeF(r.size()) * m_ratio).toAlignedRect() &
            m_image.rect();
        if (area.isEmpty())
            continue;
        const QRectF target(QPointF(area.topLeft()) / m_ratio, QSizeF(area.size()) / m_ratio);
        if (m_xorLines.empty()) {
            painter.drawImage(target, m_image, area);
            continue;
        }
        QImage patch = m_image.copy(area);
        for (const PixelLine &line : m_xorLines) {
            if (!boundsOf(line).intersects(area))
                continue;
            const QRgb mask = line.rgb & 0x00ffffff;
            forEachLinePixel(line.a, line.b, line.dotted, m_map.lineWidth(), [&](int x, int y) {
                if (area.contains(x, y))
                    reinterpret_cast<QRgb *>(patch.scanLine(y - area.y()))[x - area.x()] ^= mask;
            });
        }
        painter.drawImage(target, patch, patch.rect());
    }
}

QPointF DiagramCanvas::userPoint(const QMouseEvent *event) const
{
    // The device pixel under the pointer.
    const QPointF p = event->position() * m_ratio;
    return m_map.fromPixel(QPoint(int(std::floor(p.x())), int(std::floor(p.y()))));
}

void DiagramCanvas::mousePressEvent(QMouseEvent *event)
{
    // A second button pressed during a read-out starts no second one: its
    // cross-hair could not be taken away by the one release that follows.
    if (event->buttons() != event->button())
        return;
    emit mousePressed(event->button(), userPoint(event));
}

void DiagramCanvas::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->buttons(), userPoint(event));
}

void DiagramCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        return; // the read-out ends with the last button
    emit mouseReleased(event->button(), userPoint(event));
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
