#pragma once

#include "DataListBox.h"
#include "DataRecord.h"
#include "DataTableModel.h"
#include "DayNumber.h"
#include "DiagramCanvas.h"
#include "SampleYear.h"
#include "frmKalvik.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

// Records every call the window makes to the sensor library, as "GetTemp 889 11".
class FakeSensor : public SensorLibrary
{
public:
    float getTemp(std::int32_t port, std::int32_t arg) override
    {
        calls << QStringLiteral("GetTemp %1 %2").arg(port).arg(arg);
        if (whileReading)
            whileReading();
        return reading;
    }
    float getTempGame(std::int32_t port, std::int32_t arg) override
    {
        calls << QStringLiteral("GetTempGame %1 %2").arg(port).arg(arg);
        return reading;
    }
    QString loadError() const override { return error; }
    QString lastReason() const override { return reason; }

    QStringList calls;
    float reading = 22.4f;
    QString error, reason;
    std::function<void()> whileReading; // runs inside GetTemp, as the window waits
};

// Gives the window's dialogs their answers and keeps what they were told.
class FakeDialogs : public UserDialogs
{
public:
    void message(QWidget *, const QString &text) override { messages << text; }
    std::optional<QString> inputText(QWidget *, const QString &, const QString &prompt) override
    {
        inputPrompt = prompt;
        if (whileOpen)
            whileOpen();
        return input.isNull() ? std::nullopt : std::optional(input);
    }
    QString openFileName(QWidget *, const OpenFileRequest &request) override
    {
        lastOpen = request;
        return file;
    }

    QStringList messages;
    std::function<void()> whileOpen; // runs while the input box is open
    QString input;                   // the answer typed; a null string is Cancel
    QString file;                    // the file chosen; empty: Cancel
    QString inputPrompt;
    OpenFileRequest lastOpen;
};

// A window with fakes behind its seams, in a program folder of its own or the folders given.
struct Harness
{
    explicit Harness(QDateTime now = QDateTime(QDate(2026, 3, 14), QTime(14, 5, 33)),
                     QString folder = QString(), QString dataFolder = QString())
        : clock(now)
    {
        KalvikEnvironment env;
        env.programFolder = folder.isEmpty() ? dir.path() : folder;
        env.dataFolder = dataFolder;
        env.sensor.reset(sensor = new FakeSensor);
        env.dialogs.reset(dialogs = new FakeDialogs);
        env.now = [this] { return clock; };
        window = std::make_unique<frmKalvik>(std::move(env));
    }

    // An element of the window by its objectName.
    template <typename T = QWidget> T *find(const char *name) const
    {
        T *element = window->findChild<T *>(QString::fromLatin1(name));
        if (!element)
            qFatal("no element %s", name);
        return element;
    }
    QLabel *label(const char *name) const { return find<QLabel>(name); }
    DiagramCanvas *diagram() const { return find<DiagramCanvas>("picDiagramArea"); }
    DataListBox *list() const { return find<DataListBox>("List1"); }

    QImage client() const { return window->centralWidget()->grab().toImage(); }
    // The diagram alone in its own pixels, without the table and labels lying on it.
    QImage diagramPicture() const
    {
        QImage image(diagram()->keptImage().size(), QImage::Format_RGB32);
        image.setDevicePixelRatio(diagram()->pixelRatio());
        diagram()->render(&image, {}, {}, QWidget::DrawWindowBackground);
        return image;
    }

    QString yearFile(int year) const { return dir.filePath(QStringLiteral("T_%1.dat").arg(year)); }

    // Form_Load, then the start-up work; with records, this year's file holds them first.
    bool start(std::span<const DataRecord> records = {})
    {
        if (!records.empty() && !writeYearFile(yearFile(clock.date().year()), records))
            return false;
        window->Form_Load();
        window->Form_Activate();
        return true;
    }

    QTemporaryDir dir;
    QDateTime clock;
    FakeSensor *sensor = nullptr;
    FakeDialogs *dialogs = nullptr;
    std::unique_ptr<frmKalvik> window;
};

inline DataRecord sample(QDate date, float timeOfDay, std::int32_t qnh, float temp)
{
    return DataRecord{std::int32_t(DayNumber::fromDate(date)), timeOfDay, qnh, temp};
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
