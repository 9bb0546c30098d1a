#pragma once

#include "Curves.h"
#include "DiagramScaleMap.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <span>
#include <vector>

// The inner area of the year diagram. It keeps what is drawn on it in an
// image (background, grid and curves), so a repaint brings the curves back.
// Lines drawn in exclusive-or mode are not kept: they are combined with the
// image at paint time, and drawing the same line again removes it.
//
// The image has the screen's own pixels: on a screen of pixel ratio 1.5 it
// is 1.5 times the layout's size, and every line is placed and widened in
// those pixels, so bars and lines stay even instead of being stretched.
class DiagramCanvas : public QWidget
{
    Q_OBJECT

public:
    enum class LineStyle { Solid, Dotted };
    enum class DrawMode { Copy, Xor };

    static constexpr QRgb kBackground = qRgb(239, 239, 222);
    static constexpr QRgb kForeground = qRgb(0, 0, 128);

    explicit DiagramCanvas(QWidget *parent = nullptr);
    ~DiagramCanvas() override;

    const DiagramScaleMap &scaleMap() const { return m_map; } // in device pixels
    void setDaysShown(int days) { m_map.setDays(days); }
    const QImage &keptImage() const { return m_image; }

    // Device pixels per pixel of the layout, and the width of every line drawn.
    qreal pixelRatio() const { return m_ratio; }
    int lineWidth() const { return m_map.lineWidth(); }

    // Starts the drawing afresh at another ratio: background and grid, no
    // curves, as after clear(). A cross-hair on screen moves along.
    void setPixelRatio(qreal ratio);

    // Takes the screen's ratio now and whenever it changes (another monitor,
    // another desktop scale), then says so with pixelRatioChanged().
    void setFollowsScreen(bool follow);

    // Erases everything drawn; the grid and the labels under the curves stay,
    // and so does a cross-hair on screen.
    void clear();

    // A label lying on the diagram that the curves are drawn over, as over the
    // grid: it becomes part of the drawing surface, shown and hidden with itself.
    void putUnderCurves(QWidget *label);

    void setLineStyle(LineStyle style) { m_style = style; }
    LineStyle lineStyle() const { return m_style; }
    void setForeColor(QColor color) { m_foreColor = color.rgb(); }
    QColor foreColor() const { return QColor(m_foreColor); }
    void setDrawMode(DrawMode mode) { m_mode = mode; }
    DrawMode drawMode() const { return m_mode; }

    // A line in user coordinates, in the fore colour, style and drawing mode.
    void drawLine(QPointF from, QPointF to);

    // Curve segments, solid, each in its own colour, kept in the image.
    void drawSegments(std::span<const Segment> segments);

    // True while exclusive-or lines are on screen.
    bool hasXorLines() const { return !m_xorLines.empty(); }

signals:
    void mousePressed(Qt::MouseButton button, QPointF user);
    void mouseMoved(Qt::MouseButtons buttons, QPointF user);
    void mouseReleased(Qt::MouseButton button, QPointF user);
    void clicked();
    // The screen's pixel ratio changed and the drawing was started afresh:
    // the curves need drawing again.
    void pixelRatioChanged();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct PixelLine
    {
        QPoint a, b; // device pixels
        bool dotted;
        QRgb rgb;
        QPointF from, to; // user coordinates, clipped, to place it again at another ratio
    };

    // Background, grid and the labels under the curves.
    void paintSurface(QImage &image);
    // The surface again wherever no curve lies, after a label came or went.
    void refreshSurface();
    void followUnderCurves();
    std::vector<bool> shownUnderCurves() const;
    void drawKept(QImage &image, const PixelLine &line, QRect *dirty);
    bool clipToView(QPointF &from, QPointF &to) const;
    QRect boundsOf(const PixelLine &line) const;
    QRect toLayout(const QRect &device) const;
    void followScreen();
    QPointF userPoint(const QMouseEvent *event) const;

    bool m_followsScreen = false;
    qreal m_ratio = 1.0;
    DiagramScaleMap m_map;
    QImage m_image;
    std::vector<bool> m_curvePixels; // of m_image, row by row: drawn by a curve
    std::vector<QWidget *> m_underCurves;
    std::vector<bool> m_shownUnderCurves; // as they are in the surface
    bool m_paintingSurface = false;
    std::vector<PixelLine> m_xorLines;
    LineStyle m_style = LineStyle::Solid;
    QRgb m_foreColor = kForeground;
    DrawMode m_mode = DrawMode::Copy;
};
