#pragma once

#include "ClientElements.h"
#include "KalvikEnvironment.h"
#include "YearPass.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ClientArea;
class DataTableModel;
class QAction;
class DataListBox;
class QMenu;
class QTimer;

// The weather station's one window. Its members below are the whole state of
// the program; its procedures are named after the events they handle.
class frmKalvik : public QMainWindow, public ClientElements
{
    Q_OBJECT

public:
    explicit frmKalvik(KalvikEnvironment environment, QWidget *parent = nullptr);
    ~frmKalvik() override;

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

    // Elements, under the names the rest of the program uses.
    DataListBox *List1 = nullptr;
    QTimer *Cycle = nullptr;
    QMenu *mnuArkiv = nullptr;
    QMenu *mnuConfig = nullptr;
    QMenu *mnuVisa = nullptr;
    QAction *mnuExit = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuPortAdr = nullptr;
    QAction *mnuVisaAllt = nullptr;
    QAction *mnuTemp = nullptr;
    QAction *mnuQNH = nullptr;
    QAction *mnuData = nullptr;

    DataTableModel *tableModel() const { return m_table; }

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

    void VisaData();
    void ShellSortArray();
    void GetRecordData();
    void GetQNHRecordData();

private:
    void VisaTemp();

    enum class View { Both, Temperature, Pressure };
    // Clears the diagram and draws one view, under the wait pointer and with
    // one read of the year file.
    void showView(View view, const std::function<void()> &draw);
    void wireDiagram();
    void redrawCurves();
    void createList();
    void createMenus();
    void drawCrossHair(float x, float y);
    void showTemperatureLabel();
    void reportSensorLoadError();
    void passKeyToForm(const QKeyEvent &event);
    void report(const QString &text);
    void startRedraw();
    void reportLoadFailure(const QString &procedure, const QString &reason);
    // FileTail, YearStartDay and the days the diagram shows from DataFileName, or
    // false once the cause is reported.
    bool takeYearFromName(const QString &procedure);
    void scrollTableToEnd();
    const YearPass &yearPass();
    // After each reading: what the logger has added to the shown file since
    // it was drawn is drawn now, as the view's own command would draw it.
    void followYearFile();
    void showAddedRecords();
    void redrawFromWholeFile();
    // The table's rows brought up to the file's records; a table scrolled to
    // its end stays there, any other keeps the rows it shows.
    void followTable(qint64 records, bool reread);
    class OneReadPerRedraw;

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KalvikEnvironment m_env;
    ClientArea *m_client = nullptr;
    DataTableModel *m_table = nullptr;
    View m_view = View::Both; // what the last redraw drew, to draw it again
    bool m_loaded = false;
    bool m_started = false;
    bool m_sensorErrorShown = false;
    QString m_redrawFailure;        // the cause already reported in this redraw
    std::optional<YearPass> m_pass; // the read the loaders and the table share
    bool m_inRedraw = false;
    std::unique_ptr<YearFollower> m_follower; // the shown file, as far as it is drawn
    bool m_crossHeld = false;                 // a button holds a cross-hair
    bool m_followPending = false;             // a reading came while it was held
    bool m_following = false;
    bool m_failureStanding = false; // a read failure was told and no read has worked since
    bool m_quietFailures = false;   // following: a standing failure is not told again
};
