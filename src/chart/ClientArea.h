#pragma once

#include "ClientElements.h"

#include <QImage>
#include <QWidget>

// The window's client area with everything the layout puts in it: the
// diagram with its grid and scales, the month names, the title and the
// live-temperature row. The window and the chart export build the same one,
// so a chart on a web page is the picture the window shows.
class ClientArea : public QWidget, public ClientElements
{
    Q_OBJECT

public:
    explicit ClientArea(QWidget *parent = nullptr);

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
