#pragma once

#include <QImage>
#include <QWidget>

#include <array>

class DiagramCanvas;
class QFrame;
class QLabel;

// The window's client area with everything the layout puts in it: the
// diagram with its grid and scales, the month names, the title and the
// live-temperature row. The window and the chart export build the same one,
// so a chart on a web page is the picture the window shows.
class ClientArea : public QWidget
{
    Q_OBJECT

public:
    explicit ClientArea(QWidget *parent = nullptr);

    QFrame *picDiagram = nullptr;
    DiagramCanvas *diagram = nullptr; // the inner area of picDiagram
    QLabel *lblTempC = nullptr;
    QLabel *lblSthlm = nullptr;
    QLabel *lblXCord = nullptr;
    QLabel *lblYCord = nullptr;
    std::array<QLabel *, 9> Label1{};
    std::array<QLabel *, 9> lblVertical{};
    std::array<QLabel *, 13> lblMonth{}; // 1 to 12
    std::array<QLabel *, 1> lblRubrik{};
    std::array<QLabel *, 2> Image1{};

    // "Temperaturstatestik för Södra Stockholm" and the year of the data shown.
    void setTitleYear(const QString &year);

    // The pressure values and their heading, shown or hidden together.
    void setPressureScaleVisible(bool visible);

    // The reading of right now and the icons beside it.
    void setLiveTemperatureVisible(bool visible);

    // The area as it would stand on a screen of the given pixel ratio.
    QImage picture(qreal pixelRatio);

private:
    void createDiagram();
    void createLabels();
    void createIcons();
};
