#include "ClientArea.h"

#include "ScreenReaderTexts.h"

#include "DiagramCanvas.h"
#include "KalvikLayout.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>

#include <cmath>

namespace {

using namespace KalvikLayout;

const QString kTitleStart = QStringLiteral("Temperaturstatestik f\u00f6r S\u00f6dra Stockholm   ");

QPalette labelPalette(const QPalette &base, QRgb text, std::optional<QRgb> background)
{
    QPalette p = base;
    p.setColor(QPalette::WindowText, QColor(text));
    if (background)
        p.setColor(QPalette::Window, QColor(*background));
    return p;
}

} // namespace

static void initResources()
{
    // The images live in a static library, whose resources are not registered by themselves.
    Q_INIT_RESOURCE(chart);
}

ClientArea::ClientArea(QWidget *parent) : QWidget(parent)
{
    initResources();
    setObjectName(QStringLiteral("client"));
    setFont(KalvikLayout::font(kWindowFont));
    setFixedSize(toPixels(kClientTwips).size());
    setAutoFillBackground(true);
    setPalette(labelPalette(palette(), kTeal, kTeal));
    installScreenReaderInterfaces();
    createDiagram();
    createLabels();
    createIcons();
    describeForScreenReaders(this);
}

void ClientArea::createDiagram()
{
    picDiagram = new QFrame(this);
    picDiagram->setObjectName(QStringLiteral("picDiagram"));
    picDiagram->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picDiagram->setLineWidth(kDiagramBorderPixels);
    picDiagram->setGeometry(toPixels(kDiagramTwips));

    diagram = new DiagramCanvas(picDiagram);
    diagram->setObjectName(QStringLiteral("picDiagramArea"));
    diagram->move(kDiagramBorderPixels, kDiagramBorderPixels);
}

void ClientArea::createLabels()
{
    for (const LabelSpec &element : labels()) {
        QWidget *parent =
            element.parent == Parent::Diagram ? static_cast<QWidget *>(diagram) : this;
        auto *label = new QLabel(QString::fromUtf8(element.caption), parent);
        label->setObjectName(KalvikLayout::objectName(element.group, element.index));
        label->setGeometry(toPixels(element.twips));
        label->setFont(KalvikLayout::font(element.font));
        label->setAlignment(element.alignment);
        label->setPalette(labelPalette(label->palette(), element.text, element.background));
        label->setAutoFillBackground(element.background.has_value());
        // The month names size themselves to their text, as they always have.
        if (element.autoSize)
            label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
        if (element.sunken)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Labels on the diagram must not take its mouse presses or its tooltip.
        if (element.parent == Parent::Diagram)
            label->setAttribute(Qt::WA_TransparentForMouseEvents);

        const QString group = QString::fromLatin1(element.group);
        // The curves are drawn over the pressure values, as over the grid.
        if (group == QLatin1String("Label1") && element.parent == Parent::Diagram)
            diagram->putUnderCurves(label);
        if (group == QLatin1String("Label1"))
            Label1.at(element.index) = label;
        else if (group == QLatin1String("lblVertical"))
            lblVertical.at(element.index) = label;
        else if (group == QLatin1String("lblMonth"))
            lblMonth.at(element.index) = label;
        else if (group == QLatin1String("lblRubrik"))
            lblRubrik.at(element.index) = label;
        else if (group == QLatin1String("lblXCord"))
            lblXCord = label;
        else if (group == QLatin1String("lblYCord"))
            lblYCord = label;
        else if (group == QLatin1String("lblTempC"))
            lblTempC = label;
        else if (group == QLatin1String("lblSthlm"))
            lblSthlm = label;
    }
}

void ClientArea::createIcons()
{
    const QPixmap atom(QStringLiteral(":/kalvik/atom.xpm"));
    for (int i = 0; i < int(Image1.size()); ++i) {
        Image1[i] = new QLabel(this);
        Image1[i]->setObjectName(KalvikLayout::objectName("Image1", i));
        Image1[i]->setPixmap(atom);
        Image1[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Image1[i]->setGeometry(toPixels(kIconTwips[i]));
    }
}

void ClientArea::setTitleYear(const QString &year)
{
    lblSthlm->setText(kTitleStart + year);
}

void ClientArea::setPressureScaleVisible(bool visible)
{
    for (QLabel *label : Label1)
        label->setVisible(visible);
}

void ClientArea::setLiveTemperatureVisible(bool visible)
{
    lblRubrik[0]->setVisible(visible);
    lblTempC->setVisible(visible);
    for (QLabel *icon : Image1)
        icon->setVisible(visible);
}

QImage ClientArea::picture(qreal pixelRatio)
{
    const QSize device(int(std::ceil(width() * pixelRatio)), int(std::ceil(height() * pixelRatio)));
    QImage image(device, QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(palette().color(QPalette::Window));
    render(&image);
    return image;
}
