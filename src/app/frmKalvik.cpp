#include "frmKalvik.h"

#include "ClientArea.h"
#include "Curves.h"
#include "DataListBox.h"
#include "DataRow.h"
#include "DataTableModel.h"
#include "DayNumber.h"
#include "DiagramCanvas.h"
#include "KalvikLayout.h"
#include "LibrarySensor.h"
#include "PortAnswer.h"
#include "ReadoutCaptions.h"
#include "ScreenReaderTexts.h"
#include "ShellSort.h"
#include "TemperatureText.h"
#include "WaitCursor.h"
#include "YearName.h"
#include "YearPass.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QTimer>

#include <cmath>

namespace {

using namespace KalvikLayout;

constexpr int kCycleIntervalMs = 30000;
constexpr std::int32_t kParallelPinArg = 11; // pin 11 of the parallel port
constexpr std::int32_t kGamePortArg = 16;    // button A1 of the game port
constexpr std::int32_t kHighestGamePort = 520;
constexpr double kSensorCorrection = 1.1; // the sensor reads this much too warm
constexpr float kNoCross = -999999.0f;
constexpr int kEscape = 27;

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int buttonsCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

} // namespace

static void initResources()
{
    // The pointer's image is in a static library, which does not register it by itself.
    Q_INIT_RESOURCE(kalvik);
}

KalvikEnvironment KalvikEnvironment::forProgram(const QString &programFolder,
                                                const QString &dataFolder)
{
    KalvikEnvironment env;
    env.programFolder = programFolder;
    env.dataFolder = dataFolder;
    env.sensor = std::make_unique<LibrarySensor>(programFolder);
    env.dialogs = std::make_unique<QtUserDialogs>();
    return env;
}

frmKalvik::frmKalvik(KalvikEnvironment environment, QWidget *parent)
    : QMainWindow(parent), m_env(std::move(environment))
{
    setObjectName(QStringLiteral("frmKalvik"));
    setWindowTitle(QStringLiteral("Kalvik"));
    setFont(KalvikLayout::font(kWindowFont));

    initResources();
    m_client = new ClientArea(this); // also brings the icon
    setWindowIcon(QIcon(QStringLiteral(":/kalvik/atom.xpm")));
    setCentralWidget(m_client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    createMenus();
    wireDiagram();
    createList();
    describeForScreenReaders(this);

    Cycle = new QTimer(this);
    Cycle->setObjectName(QStringLiteral("Cycle"));
    Cycle->setInterval(kCycleIntervalMs);
    connect(Cycle, &QTimer::timeout, this, &frmKalvik::Cycle_Timer);
}

frmKalvik::~frmKalvik() = default;

void frmKalvik::createMenus()
{
    struct Command
    {
        const char *name;
        const char *text;
        QKeySequence shortcut;
        void (frmKalvik::*slot)();
    };
    auto addMenu = [this](const char *name, const QString &title,
                          std::initializer_list<Command> commands) {
        QMenu *menu = menuBar()->addMenu(title);
        menu->setObjectName(QString::fromLatin1(name));
        for (const Command &command : commands) {
            QAction *action = menu->addAction(QString::fromUtf8(command.text));
            action->setObjectName(QString::fromLatin1(command.name));
            action->setShortcut(command.shortcut);
            connect(action, &QAction::triggered, this, command.slot);
        }
    };
    addMenu("mnuArkiv", QStringLiteral("&Arkiv"),
            {{"mnuExit", "Avsluta", Qt::CTRL | Qt::Key_Q, &frmKalvik::mnuExit_Click},
             {"mnuOpen", "\u00d6ppna", Qt::CTRL | Qt::Key_O, &frmKalvik::mnuOpen_Click}});
    addMenu("mnuConfig", QStringLiteral("Konfig"),
            {{"mnuPortAdr", "PortAdress", Qt::CTRL | Qt::Key_P, &frmKalvik::mnuPortAdr_Click}});
    addMenu(
        "mnuVisa", QStringLiteral("Visa"),
        {{"mnuVisaAllt", "Visa Temp o Tryck", Qt::CTRL | Qt::Key_A, &frmKalvik::mnuVisaAllt_Click},
         {"mnuTemp", "Bara Temp", Qt::CTRL | Qt::Key_T, &frmKalvik::mnuTemp_Click},
         {"mnuQNH", "Bara Tryck", Qt::CTRL | Qt::Key_H, &frmKalvik::mnuQNH_Click}});

    // A command on the bar itself, without a drop-down list.
    QAction *mnuData = menuBar()->addAction(QStringLiteral("DataTabell"));
    mnuData->setObjectName(QStringLiteral("mnuData"));
    connect(mnuData, &QAction::triggered, this, &frmKalvik::mnuData_Click);

    menuBar()->installEventFilter(this);
}

void frmKalvik::wireDiagram()
{
    DiagramCanvas *diagram = m_client->diagram;
    diagram->setToolTip(QStringLiteral("Klicka med v\u00e4nster eller h\u00f6ger musknapp"));
    diagram->setCursor(QCursor(QPixmap(QStringLiteral(":/kalvik/crosspointer.xpm")), 15, 16));

    connect(diagram, &DiagramCanvas::mousePressed, this, [this](Qt::MouseButton b, QPointF p) {
        picDiagram_MouseDown(buttonCode(b), shiftCode(QApplication::keyboardModifiers()),
                             float(p.x()), float(p.y()));
    });
    connect(diagram, &DiagramCanvas::mouseMoved, this, [this](Qt::MouseButtons b, QPointF p) {
        picDiagram_MouseMove(buttonsCode(b), shiftCode(QApplication::keyboardModifiers()),
                             float(p.x()), float(p.y()));
    });
    connect(diagram, &DiagramCanvas::mouseReleased, this, [this](Qt::MouseButton b, QPointF p) {
        picDiagram_MouseUp(buttonCode(b), shiftCode(QApplication::keyboardModifiers()),
                           float(p.x()), float(p.y()));
    });
    connect(diagram, &DiagramCanvas::clicked, this, &frmKalvik::picDiagram_Click);
    connect(diagram, &DiagramCanvas::pixelRatioChanged, this, &frmKalvik::redrawCurves);
    diagram->setFollowsScreen(true);
}

void frmKalvik::createList()
{
    m_table = new DataTableModel(this);
    List1 = new DataListBox(m_client->diagram);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setModel(m_table);
    List1->setGeometry(toPixels(kListTwips));
    List1->setFont(KalvikLayout::font(kSmallBold));
    QPalette p = List1->palette();
    p.setColor(QPalette::Base, QColor(kListBackground));
    p.setColor(QPalette::Text, QColor(kNavy));
    List1->setPalette(p);
    List1->setCursor(Qt::ArrowCursor);
    List1->hide();
}

// Start-up ------------------------------------------------------------------

void frmKalvik::Form_Load()
{
    show();
    GamePortAdr = 520;
    ParPortAdr = 889;
    PortAdr = 889;
    m_loaded = true;
    Cycle->start();
    QCoreApplication::processEvents();
    // Without a window manager the window may never be activated: start anyway.
    QTimer::singleShot(0, this, &frmKalvik::Form_Activate);
}

void frmKalvik::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_loaded)
        Form_Activate();
}

void frmKalvik::Form_Activate()
{
    if (m_started)
        return;
    m_started = true;

    CurYear = m_env.now().date().toString(QStringLiteral("yyyy"));
    showTemperatureLabel();
    const QString &yearFolder = m_env.dataFolder.isEmpty() ? m_env.programFolder : m_env.dataFolder;
    DataFileName =
        yearFolder + QDir::separator() + QStringLiteral("T_") + CurYear + QStringLiteral(".dat");
    m_client->lblSthlm->setText(m_client->lblSthlm->text() + QLatin1Char(' ') + CurYear);
    // The first reading blocks the window: what stands before it must be on
    // screen by then, not the layout's sample text. The wait pointer stays on
    // through the reading of the year.
    WaitCursor wait;
    repaint();

    TempNu = float(double(m_env.sensor->getTemp(ParPortAdr, kParallelPinArg)) - kSensorCorrection);
    showTemperatureLabel();
    reportSensorLoadError();

    // The reading is on screen beside the title and the empty diagram before
    // a large year is read.
    repaint();
    redraw([this](const YearPass &pass) { drawWholeView(pass); });
}

void frmKalvik::keyPressEvent(QKeyEvent *event)
{
    // The list and the diagram leave Esc to the window. The menu bar's keys
    // were seen by its filter already.
    if (focusWidget() != menuBar())
        passKeyToForm(*event);
    QMainWindow::keyPressEvent(event);
}

bool frmKalvik::eventFilter(QObject *watched, QEvent *event)
{
    // Once used from the keyboard, the menu bar keeps it and takes Esc for
    // itself: the window sees its keys first. An open menu is a window of its
    // own and closes on Esc before anything else.
    if (watched == menuBar() && event->type() == QEvent::KeyPress)
        passKeyToForm(*static_cast<QKeyEvent *>(event));
    return QMainWindow::eventFilter(watched, event);
}

void frmKalvik::passKeyToForm(const QKeyEvent &event)
{
    if (const QString text = event.text(); !text.isEmpty()) {
        int keyAscii = text.at(0).unicode();
        Form_KeyPress(keyAscii);
    }
}

void frmKalvik::Form_KeyPress(int &KeyAscii)
{
    if (KeyAscii == kEscape)
        List1->hide();
}

void frmKalvik::mnuExit_Click()
{
    close();
}

// Live temperature ------------------------------------------------------------

void frmKalvik::Cycle_Timer()
{
    const float reading = PortAdr > kHighestGamePort
                              ? m_env.sensor->getTemp(ParPortAdr, kParallelPinArg)
                              : m_env.sensor->getTempGame(GamePortAdr, kGamePortArg);
    TempNu = float(double(reading) - kSensorCorrection);
    reportSensorLoadError();
    VisaTemp();
    followYearFile();
}

void frmKalvik::VisaTemp()
{
    showTemperatureLabel();
    setWindowTitle(windowCaption(TempNu, m_env.now().time(), QLocale()));
}

void frmKalvik::showTemperatureLabel()
{
    m_client->lblTempC->setText(temperatureText(TempNu, QLocale()));
    // While no reading stands, the label's tooltip says why, as the sensor tells it.
    m_client->lblTempC->setToolTip(std::isfinite(TempNu) ? QString() : m_env.sensor->lastReason());
}

void frmKalvik::reportSensorLoadError()
{
    if (m_sensorErrorShown || m_env.sensor->loadError().isEmpty())
        return;
    m_sensorErrorShown = true;
    report(m_env.sensor->loadError());
}

void frmKalvik::mnuPortAdr_Click()
{
    const std::optional<QString> answer =
        m_env.dialogs->inputText(this, kPortPromptTitle.toString(), kPortPrompt.toString());
    if (!answer)
        return;
    const PortAnswer result =
        interpretPortAnswer(*answer, PortState{GamePortAdr, ParPortAdr, PortAdr}, QLocale());
    switch (result.action) {
    case PortAction::None:
        return;
    case PortAction::Invalid:
        report(invalidPortAnswerMessage(*answer));
        return;
    case PortAction::ReadGamePortNow:
        PortAdr = result.state.portAdr;
        GamePortAdr = result.state.gamePortAdr;
        // The first reading of a new game port is corrected as every tick's
        // is: the same sensor must not show two values.
        TempNu =
            float(double(m_env.sensor->getTemp(GamePortAdr, kGamePortArg)) - kSensorCorrection);
        showTemperatureLabel();
        return;
    case PortAction::RunCycle:
        PortAdr = result.state.portAdr;
        ParPortAdr = result.state.parPortAdr;
        Cycle_Timer();
        return;
    }
}

// Year curves -------------------------------------------------------------------

void frmKalvik::ShellSortArray()
{
    shellSortArray(DayValues);
}

void frmKalvik::report(const QString &text)
{
    m_env.dialogs->message(this, text);
}

void frmKalvik::reportLoadFailure(const QString &procedure, const QString &reason)
{
    // One cause gets one box per redraw: the readers after the first that met
    // it would only repeat it.
    if (!reason.isEmpty() && reason == m_redrawFailure)
        return;
    // A file that stays unreadable is told once, not at every reading.
    if (m_quietFailures && m_failureStanding)
        return;
    m_redrawFailure = reason;
    m_failureStanding = true;
    report(QStringLiteral("Fel i Sub ") + procedure +
           (reason.isEmpty() ? QString() : QLatin1Char('\n') + reason));
}

void frmKalvik::redraw(const RedrawSteps &steps)
{
    const QScopedValueRollback busy(m_busy, true);
    m_redrawFailure.clear();
    const YearPass pass = readWholeYear();
    steps(pass);
}

YearPass frmKalvik::readWholeYear()
{
    const std::int32_t start = yearStartDayFromName(DataFileName).value_or(YearStartDay);
    m_follower.reset(); // the curves of the last read go before the next are made
    m_follower = std::make_unique<YearFollower>(DataFileName, start);
    YearPass pass = m_follower->readWhole();
    if (pass.ok)
        m_failureStanding = false;
    return pass;
}

bool frmKalvik::takeYearFromName(const QString &procedure)
{
    FileTail = fileTail(DataFileName);
    const std::optional<std::int32_t> start = yearStartDayFromName(DataFileName);
    if (!start) {
        reportLoadFailure(procedure, yearFileNameReason(DataFileName, CurYear));
        return false;
    }
    YearStartDay = *start;
    m_client->diagram->setDaysShown(DayNumber::toDate(YearStartDay).daysInYear());
    return true;
}

void frmKalvik::GetRecordData(const YearPass &pass)
{
    if (!pass.ok) {
        reportLoadFailure(QStringLiteral("GetRecordData"), pass.errorString);
        return;
    }
    if (!takeYearFromName(QStringLiteral("GetRecordData")))
        return;
    m_client->diagram->setLineStyle(DiagramCanvas::LineStyle::Solid);
    m_client->diagram->drawSegments(pass.temperature.segments);
    if (pass.records > 0)
        DayValues = pass.temperature.lastDayValues;
    reportFindings(QStringLiteral("GetRecordData"), pass);
}

void frmKalvik::GetQNHRecordData(const YearPass &pass)
{
    if (!takeYearFromName(QStringLiteral("GetQNHRecordData")))
        return;
    if (!pass.ok) {
        reportLoadFailure(QStringLiteral("GetQNHRecordData"), pass.errorString);
        return;
    }
    m_client->diagram->setLineStyle(DiagramCanvas::LineStyle::Solid);
    m_client->diagram->drawSegments(pass.pressure.segments);
    if (pass.records > 0) {
        QNHSeries = pass.pressure.series;
        DayValues = pass.pressure.lastDayValues;
    }
    reportFindings(QStringLiteral("GetQNHRecordData"), pass);
}

// A damaged or disordered file is drawn as far as it holds weather, and said
// once per redraw, so that it is never taken for the weather itself.
void frmKalvik::reportFindings(const QString &procedure, const YearPass &pass)
{
    if (const QString text = recordFindingsText(DataFileName, pass.findings); !text.isEmpty())
        reportLoadFailure(procedure, text);
}

// View modes -----------------------------------------------------------------------

void frmKalvik::showView(View view, const RedrawSteps &steps)
{
    m_view = view;
    for (QLabel *label : m_client->Label1)
        label->setVisible(view != View::Temperature);
    m_client->diagram->clear();
    WaitCursor wait;
    redraw(steps);
}

void frmKalvik::mnuTemp_Click()
{
    showView(View::Temperature, [this](const YearPass &pass) { GetRecordData(pass); });
}

void frmKalvik::mnuQNH_Click()
{
    showView(View::Pressure, [this](const YearPass &pass) { GetQNHRecordData(pass); });
}

void frmKalvik::mnuVisaAllt_Click()
{
    showView(View::Both, [this](const YearPass &pass) { drawWholeView(pass); });
}

void frmKalvik::mnuOpen_Click()
{
    const OpenFileRequest request{QStringLiteral("   \u00d6ppna datafil"),
                                  QStringLiteral("Data (*.dat)"), DataFileName,
                                  QStringLiteral("dat")};
    const QString chosen = m_env.dialogs->openFileName(this, request);
    if (chosen.isEmpty())
        return; // Cancel leaves the file, the diagram and the title as they were
    // A name without a year would show no year's data correctly: refuse it
    // before anything changes.
    if (!isYearFileName(chosen)) {
        report(yearFileNameReason(chosen, CurYear));
        return;
    }
    DataFileName = chosen;
    m_view = View::Both;
    m_client->diagram->clear();
    // The title shows the year that the loaders read from the name.
    m_client->setTitleYear(fileTail(DataFileName).left(4));
    WaitCursor wait;
    redraw([this](const YearPass &pass) { drawWholeView(pass); });
}

// On another screen or at another desktop scale the diagram starts afresh in
// the new pixels; the curves of the current view come back from the file.
void frmKalvik::redrawCurves()
{
    if (!m_started)
        return;
    WaitCursor wait;
    redraw([this](const YearPass &pass) { drawCurvesOfView(pass); });
}

// Start-up, "Visa Temp o Tryck" and another year: both curves, then the table.
void frmKalvik::drawWholeView(const YearPass &pass)
{
    GetQNHRecordData(pass);
    GetRecordData(pass);
    VisaData(pass);
}

void frmKalvik::drawCurvesOfView(const YearPass &pass)
{
    if (m_view != View::Temperature)
        GetQNHRecordData(pass);
    if (m_view != View::Pressure)
        GetRecordData(pass);
}

// Following the logger ------------------------------------------------------------

void frmKalvik::followYearFile()
{
    if (!m_follower || m_busy)
        return;
    if (m_crossHeld) {
        // The picture stays as it is under the cross-hair, so that the release
        // gives it back exactly; it is brought up to date after.
        m_followPending = true;
        return;
    }
    m_followPending = false;
    const QScopedValueRollback busy(m_busy, true);
    switch (m_follower->follow()) {
    case YearFollower::Change::None:
        return;
    case YearFollower::Change::Grown:
        m_failureStanding = false;
        showAddedRecords();
        return;
    case YearFollower::Change::Rewritten:
        redrawFromWholeFile();
        return;
    case YearFollower::Change::Unreadable: {
        const QScopedValueRollback quiet(m_quietFailures, true);
        m_redrawFailure.clear();
        reportLoadFailure(m_view == View::Temperature ? QStringLiteral("GetRecordData")
                                                      : QStringLiteral("GetQNHRecordData"),
                          m_follower->errorString());
        return;
    }
    }
}

// The whole diagram drawn again from the kept curves: a few hundred lines,
// the same drawing as the view's command, so the same pixels.
void frmKalvik::showAddedRecords()
{
    m_client->diagram->clear();
    m_client->diagram->setLineStyle(DiagramCanvas::LineStyle::Solid);
    if (m_view != View::Temperature) {
        const PressureCurve pressure = m_follower->pressure();
        m_client->diagram->drawSegments(pressure.segments);
        QNHSeries = pressure.series;
    }
    if (m_view != View::Pressure)
        m_client->diagram->drawSegments(m_follower->temperature().segments);
    m_client->Label1[1]->setText(lastQnhCaption(m_follower->findings().headingQnh));
    followTable(m_follower->records(), false);
}

// Shrunk, replaced or changed before its end: the current view from the whole file.
void frmKalvik::redrawFromWholeFile()
{
    const QScopedValueRollback quiet(m_quietFailures, true);
    WaitCursor wait;
    m_client->diagram->clear();
    redraw([this](const YearPass &pass) {
        drawCurvesOfView(pass);
        m_client->Label1[1]->setText(lastQnhCaption(pass.findings.headingQnh));
        followTable(pass.records, true);
    });
}

void frmKalvik::followTable(qint64 records, bool reread)
{
    if (m_table->fileName() != DataFileName)
        return; // not filled from this file
    const bool atEnd = List1->isScrolledToEnd();
    const int top = List1->topIndex();
    if (reread)
        m_table->setFile(DataFileName, records);
    else
        m_table->addRecords(records);
    if (atEnd)
        scrollTableToEnd();
    else
        List1->setTopIndex(top);
}

// Read-out and table -------------------------------------------------------------

void frmKalvik::drawCrossHair(float x, float y)
{
    const DiagramScaleMap &map = m_client->diagram->scaleMap();
    const double top = map.kTop, height = map.kHeight, left = map.kLeft, width = map.kWidth;
    m_client->diagram->drawLine(QPointF(x, top), QPointF(x, top + height));
    m_client->diagram->drawLine(QPointF(left, y), QPointF(left + width, y));
}

void frmKalvik::picDiagram_MouseDown(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    m_crossHeld = true;
    m_client->diagram->setLineStyle(DiagramCanvas::LineStyle::Dotted);
    CrossX = kNoCross;
    CrossY = kNoCross;
    m_client->diagram->setForeColor(QColor(255, 255, 0));
    m_client->diagram->setDrawMode(DiagramCanvas::DrawMode::Xor);
    drawCrossHair(X, Y);
    CrossY = Y;
    CrossX = X;
    if (Button == 1)
        m_client->lblYCord->setText(temperatureCaption(Y, QLocale()));
    else if (Button == 2)
        m_client->lblYCord->setText(pressureCaption(Y));
    m_client->lblXCord->setText(dateCaption(X, YearStartDay));
}

void frmKalvik::picDiagram_MouseMove(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    if (Button != 1 && Button != 2)
        return;
    m_client->diagram->setDrawMode(DiagramCanvas::DrawMode::Xor);
    if (CrossX != kNoCross && CrossY != kNoCross)
        drawCrossHair(CrossX, CrossY);
    drawCrossHair(X, Y);
    CrossY = Y;
    CrossX = X;
    if (Button == 1)
        m_client->lblYCord->setText(temperatureCaption(Y, QLocale()));
    else
        m_client->lblYCord->setText(pressureCaption(Y));
    m_client->lblXCord->setText(dateCaption(X, YearStartDay));
}

void frmKalvik::picDiagram_MouseUp(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    m_client->diagram->setDrawMode(DiagramCanvas::DrawMode::Xor);
    drawCrossHair(CrossX, CrossY);
    m_client->diagram->setDrawMode(DiagramCanvas::DrawMode::Copy);
    m_client->lblYCord->clear();
    m_client->lblXCord->clear();
    m_crossHeld = false;
    if (m_followPending)
        followYearFile();
}

void frmKalvik::picDiagram_Click()
{
    List1->hide();
}

void frmKalvik::VisaData(const YearPass &pass)
{
    m_table->clear();
    List1->hide();
    m_table->setFile(DataFileName, pass.records);
    scrollTableToEnd();
    m_client->Label1[1]->setText(lastQnhCaption(pass.findings.headingQnh));
    if (!pass.ok)
        reportLoadFailure(QStringLiteral("VisaData"), pass.errorString);
}

void frmKalvik::scrollTableToEnd()
{
    if (List1->listCount() > 0)
        List1->setTopIndex(List1->listCount() - 1);
}

void frmKalvik::mnuData_Click()
{
    if (List1->isVisible()) {
        List1->hide();
        return;
    }
    List1->show();
}
