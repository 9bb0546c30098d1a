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

// One redraw reads the year file once: the loaders and the table that run
// inside it share that read.
class frmKalvik::OneReadPerRedraw
{
public:
    explicit OneReadPerRedraw(frmKalvik &window) : m_window(window)
    {
        m_window.startRedraw();
        m_window.m_inRedraw = true;
    }
    ~OneReadPerRedraw()
    {
        m_window.m_inRedraw = false;
        m_window.m_pass.reset();
    }
    OneReadPerRedraw(const OneReadPerRedraw &) = delete;
    OneReadPerRedraw &operator=(const OneReadPerRedraw &) = delete;

private:
    frmKalvik &m_window;
};

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
    static_cast<ClientElements &>(*this) = *m_client;

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
    auto add = [this](QMenu *menu, QAction *&action, const char *name, const QString &text,
                      QKeySequence shortcut, void (frmKalvik::*slot)()) {
        action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
    };

    mnuArkiv = menuBar()->addMenu(QStringLiteral("&Arkiv"));
    mnuArkiv->setObjectName(QStringLiteral("mnuArkiv"));
    add(mnuArkiv, mnuExit, "mnuExit", QStringLiteral("Avsluta"), QKeySequence(Qt::CTRL | Qt::Key_Q),
        &frmKalvik::mnuExit_Click);
    add(mnuArkiv, mnuOpen, "mnuOpen", QStringLiteral("\u00d6ppna"),
        QKeySequence(Qt::CTRL | Qt::Key_O), &frmKalvik::mnuOpen_Click);

    mnuConfig = menuBar()->addMenu(QStringLiteral("Konfig"));
    mnuConfig->setObjectName(QStringLiteral("mnuConfig"));
    add(mnuConfig, mnuPortAdr, "mnuPortAdr", QStringLiteral("PortAdress"),
        QKeySequence(Qt::CTRL | Qt::Key_P), &frmKalvik::mnuPortAdr_Click);

    mnuVisa = menuBar()->addMenu(QStringLiteral("Visa"));
    mnuVisa->setObjectName(QStringLiteral("mnuVisa"));
    add(mnuVisa, mnuVisaAllt, "mnuVisaAllt", QStringLiteral("Visa Temp o Tryck"),
        QKeySequence(Qt::CTRL | Qt::Key_A), &frmKalvik::mnuVisaAllt_Click);
    add(mnuVisa, mnuTemp, "mnuTemp", QStringLiteral("Bara Temp"),
        QKeySequence(Qt::CTRL | Qt::Key_T), &frmKalvik::mnuTemp_Click);
    add(mnuVisa, mnuQNH, "mnuQNH", QStringLiteral("Bara Tryck"), QKeySequence(Qt::CTRL | Qt::Key_H),
        &frmKalvik::mnuQNH_Click);

    // A command on the bar itself, without a drop-down list.
    mnuData = menuBar()->addAction(QStringLiteral("DataTabell"));
    mnuData->setObjectName(QStringLiteral("mnuData"));
    connect(mnuData, &QAction::triggered, this, &frmKalvik::mnuData_Click);

    menuBar()->installEventFilter(this);
}

void frmKalvik::wireDiagram()
{
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
    List1 = new DataListBox(diagram);
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
    lblSthlm->setText(lblSthlm->text() + QLatin1Char(' ') + CurYear);
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
    OneReadPerRedraw read(*this);
    GetQNHRecordData();
    GetRecordData();
    VisaData();
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
    lblTempC->setText(temperatureText(TempNu, QLocale()));
    // While no reading stands, the label's tooltip says why, as the sensor tells it.
    lblTempC->setToolTip(std::isfinite(TempNu) ? QString() : m_env.sensor->lastReason());
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

void frmKalvik::startRedraw()
{
    m_redrawFailure.clear();
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

const YearPass &frmKalvik::yearPass()
{
    if (!m_pass || !m_inRedraw) {
        m_pass.reset(); // the curves of the last read go before the next is made
        const std::int32_t start = yearStartDayFromName(DataFileName).value_or(YearStartDay);
        if (m_inRedraw) {
            // What a redraw reads is what the readings then follow.
            m_follower.reset();
            m_follower = std::make_unique<YearFollower>(DataFileName, start);
            m_pass = m_follower->readWhole();
        } else {
            m_pass = readYearPass(DataFileName, start);
        }
        if (m_pass->ok)
            m_failureStanding = false;
    }
    return *m_pass;
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
    diagram->setDaysShown(DayNumber::toDate(YearStartDay).daysInYear());
    return true;
}

void frmKalvik::GetRecordData()
{
    const YearPass &pass = yearPass();
    if (!pass.ok) {
        reportLoadFailure(QStringLiteral("GetRecordData"), pass.errorString);
        return;
    }
    if (!takeYearFromName(QStringLiteral("GetRecordData")))
        return;
    diagram->setLineStyle(DiagramCanvas::LineStyle::Solid);
    diagram->drawSegments(pass.temperature.segments);
    if (pass.records > 0)
        DayValues = pass.temperature.lastDayValues;
    reportFindings(QStringLiteral("GetRecordData"), pass);
}

void frmKalvik::GetQNHRecordData()
{
    if (!takeYearFromName(QStringLiteral("GetQNHRecordData")))
        return;
    const YearPass &pass = yearPass();
    if (!pass.ok) {
        reportLoadFailure(QStringLiteral("GetQNHRecordData"), pass.errorString);
        return;
    }
    diagram->setLineStyle(DiagramCanvas::LineStyle::Solid);
    diagram->drawSegments(pass.pressure.segments);
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

void frmKalvik::showView(View view, const std::function<void()> &draw)
{
    m_view = view;
    for (QLabel *label : Label1)
        label->setVisible(view != View::Temperature);
    diagram->clear();
    WaitCursor wait;
    OneReadPerRedraw read(*this);
    draw();
}

void frmKalvik::mnuTemp_Click()
{
    showView(View::Temperature, [this] { GetRecordData(); });
}

void frmKalvik::mnuQNH_Click()
{
    showView(View::Pressure, [this] { GetQNHRecordData(); });
}

void frmKalvik::mnuVisaAllt_Click()
{
    showView(View::Both, [this] {
        GetQNHRecordData();
        GetRecordData();
        VisaData();
    });
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
    diagram->clear();
    // The title shows the year that the loaders read from the name.
    m_client->setTitleYear(fileTail(DataFileName).left(4));
    WaitCursor wait;
    OneReadPerRedraw read(*this);
    GetQNHRecordData();
    GetRecordData();
    VisaData();
}

// On another screen or at another desktop scale the diagram starts afresh in
// the new pixels; the curves of the current view come back from the file.
void frmKalvik::redrawCurves()
{
    if (!m_started)
        return;
    WaitCursor wait;
    OneReadPerRedraw read(*this);
    if (m_view != View::Temperature)
        GetQNHRecordData();
    if (m_view != View::Pressure)
        GetRecordData();
}

// Following the logger ------------------------------------------------------------

void frmKalvik::followYearFile()
{
    if (!m_follower || m_inRedraw || m_following)
        return;
    if (m_crossHeld) {
        // The picture stays as it is under the cross-hair, so that the release
        // gives it back exactly; it is brought up to date after.
        m_followPending = true;
        return;
    }
    m_followPending = false;
    const QScopedValueRollback following(m_following, true);
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
        startRedraw();
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
    diagram->clear();
    diagram->setLineStyle(DiagramCanvas::LineStyle::Solid);
    if (m_view != View::Temperature) {
        const PressureCurve pressure = m_follower->pressure();
        diagram->drawSegments(pressure.segments);
        QNHSeries = pressure.series;
    }
    if (m_view != View::Pressure)
        diagram->drawSegments(m_follower->temperature().segments);
    Label1[1]->setText(lastQnhCaption(m_follower->findings().headingQnh));
    followTable(m_follower->records(), false);
}

// Shrunk, replaced or changed before its end: the current view from the whole file.
void frmKalvik::redrawFromWholeFile()
{
    const QScopedValueRollback quiet(m_quietFailures, true);
    WaitCursor wait;
    diagram->clear();
    OneReadPerRedraw read(*this);
    if (m_view != View::Temperature)
        GetQNHRecordData();
    if (m_view != View::Pressure)
        GetRecordData();
    const YearPass &pass = yearPass();
    Label1[1]->setText(lastQnhCaption(pass.findings.headingQnh));
    followTable(pass.records, true);
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
    const DiagramScaleMap &map = diagram->scaleMap();
    const double top = map.kTop, height = map.kHeight, left = map.kLeft, width = map.kWidth;
    diagram->drawLine(QPointF(x, top), QPointF(x, top + height));
    diagram->drawLine(QPointF(left, y), QPointF(left + width, y));
}

void frmKalvik::picDiagram_MouseDown(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    m_crossHeld = true;
    diagram->setLineStyle(DiagramCanvas::LineStyle::Dotted);
    CrossX = kNoCross;
    CrossY = kNoCross;
    diagram->setForeColor(QColor(255, 255, 0));
    diagram->setDrawMode(DiagramCanvas::DrawMode::Xor);
    drawCrossHair(X, Y);
    CrossY = Y;
    CrossX = X;
    if (Button == 1)
        lblYCord->setText(temperatureCaption(Y, QLocale()));
    else if (Button == 2)
        lblYCord->setText(pressureCaption(Y));
    lblXCord->setText(dateCaption(X, YearStartDay));
}

void frmKalvik::picDiagram_MouseMove(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    if (Button != 1 && Button != 2)
        return;
    diagram->setDrawMode(DiagramCanvas::DrawMode::Xor);
    if (CrossX != kNoCross && CrossY != kNoCross)
        drawCrossHair(CrossX, CrossY);
    drawCrossHair(X, Y);
    CrossY = Y;
    CrossX = X;
    if (Button == 1)
        lblYCord->setText(temperatureCaption(Y, QLocale()));
    else
        lblYCord->setText(pressureCaption(Y));
    lblXCord->setText(dateCaption(X, YearStartDay));
}

void frmKalvik::picDiagram_MouseUp(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    diagram->setDrawMode(DiagramCanvas::DrawMode::Xor);
    drawCrossHair(CrossX, CrossY);
    diagram->setDrawMode(DiagramCanvas::DrawMode::Copy);
    lblYCord->clear();
    lblXCord->clear();
    m_crossHeld = false;
    if (m_followPending)
        followYearFile();
}

void frmKalvik::picDiagram_Click()
{
    List1->hide();
}

void frmKalvik::VisaData()
{
    m_table->clear();
    const YearPass &pass = yearPass();
    List1->hide();
    m_table->setFile(DataFileName, pass.records);
    scrollTableToEnd();
    Label1[1]->setText(lastQnhCaption(pass.findings.headingQnh));
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
