#pragma once

#include "KalvikEnvironment.h"
#include "PortAnswer.h"
#include "YearPass.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ClientArea;
class DataTableModel;
class DataListBox;
class QTimer;

// The weather station's one window. Its private members are the whole state
// of the program; its procedures are named after the events they handle.
class frmKalvik : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmKalvik(KalvikEnvironment environment, QWidget *parent = nullptr);
    ~frmKalvik() override;

    // What tests and benchmarks look at; the elements they find by objectName.
    const QString &dataFileName() const { return DataFileName; }
    PortState ports() const { return {GamePortAdr, ParPortAdr, PortAdr}; }
    DataTableModel *tableModel() const { return m_table; }

    // The steps of a redraw, each given the redraw's one read of the year file.
    void VisaData(const YearPass &pass);
    void GetRecordData(const YearPass &pass);
    void GetQNHRecordData(const YearPass &pass);

public slots:
    void Form_Load();
    void Form_Activate();
    void Form_KeyPress(int &KeyAscii);
    void mnuExit_Click();
    void mnuOpen_Click();
    void mnuPortAdr_Click();
    void mnuTemp_Click();
    void mnuQNH_Click();
    void mnuVisaAllt_Click();
    void mnuData_Click();
    void picDiagram_Click();
    void picDiagram_MouseDown(int Button, int Shift, float X, float Y);
    void picDiagram_MouseMove(int Button, int Shift, float X, float Y);
    void picDiagram_MouseUp(int Button, int Shift, float X, float Y);
    void Cycle_Timer();
    void ShellSortArray();

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class View { Both, Temperature, Pressure };
    using RedrawSteps = std::function<void(const YearPass &)>;

    void createMenus();
    void wireDiagram();
    void createList();
    void passKeyToForm(const QKeyEvent &event);
    void report(const QString &text);

    void VisaTemp();
    void showTemperatureLabel();
    void reportSensorLoadError();

    // Clears the diagram and draws one view, under the wait pointer.
    void showView(View view, const RedrawSteps &steps);
    // Reads the year file once for the steps; the readings after it follow
    // the file from there.
    void redraw(const RedrawSteps &steps);
    YearPass readWholeYear();
    void drawWholeView(const YearPass &pass);
    void drawCurvesOfView(const YearPass &pass);
    void redrawCurves(); // at another pixel ratio
    // FileTail, YearStartDay and the days the diagram shows from DataFileName, or
    // false once the cause is reported.
    bool takeYearFromName(const QString &procedure);
    void reportLoadFailure(const QString &procedure, const QString &reason);
    void reportFindings(const QString &procedure, const YearPass &pass);

    // After each reading: what the logger has added to the shown file since
    // it was drawn is drawn now, as the view's own command would draw it.
    void followYearFile();
    void showAddedRecords();
    void redrawFromWholeFile();
    // The table's rows brought up to the file's records; a table scrolled to
    // its end stays there, any other keeps the rows it shows.
    void followTable(qint64 records, bool reread);

    void drawCrossHair(float x, float y);
    void scrollTableToEnd();

    // Form state.
    std::int32_t GamePortAdr = 0;
    std::int32_t ParPortAdr = 0;
    std::int32_t PortAdr = 0;
    QString CurYear;
    std::int32_t YearStartDay = 0;
    float TempNu = 0.0f;
    float CrossX = 0.0f;
    float CrossY = 0.0f;
    QString DataFileName;
    QString FileTail;
    std::vector<float> DayValues;
    std::vector<std::int32_t> QNHSeries;

    // Elements: the diagram, its labels and the bottom row are the client area's.
    ClientArea *m_client = nullptr;
    DataListBox *List1 = nullptr;
    QTimer *Cycle = nullptr;

    KalvikEnvironment m_env;
    DataTableModel *m_table = nullptr;
    View m_view = View::Both; // what the last redraw drew, to draw it again
    bool m_loaded = false;
    bool m_started = false;
    bool m_sensorErrorShown = false;
    QString m_redrawFailure; // the cause already reported in this redraw
    // A redraw or a following is under way: a reading that comes meanwhile
    // (a message box runs the event loop) leaves the file to the next one.
    bool m_busy = false;
    std::unique_ptr<YearFollower> m_follower; // the shown file, as far as it is drawn
    bool m_crossHeld = false;                 // a button holds a cross-hair
    bool m_followPending = false;             // a reading came while it was held
    bool m_failureStanding = false; // a read failure was told and no read has worked since
    bool m_quietFailures = false;   // following: a standing failure is not told again
};
