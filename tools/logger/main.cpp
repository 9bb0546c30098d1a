// kalvik-logger: samples the outdoor temperature and the air pressure on the
// clock and appends them to the year files that Kalvik shows.
#include "Barometer.h"
#include "KalvikDataFolder.h"
#include "LibrarySensor.h"
#include "Logger.h"
#include "ProgramFolderPlugins.h"
#include "SwedishCommandLine.h"
#include "ToolMain.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <ctime>
namespace {

// The real clock. SIGTERM and SIGINT are blocked and only taken while
// sleeping, so a stop never cuts a sample short.
class SignalClock : public LoggerClock
{
public:
    SignalClock()
    {
        sigemptyset(&m_stopSignals);
        sigaddset(&m_stopSignals, SIGTERM);
        sigaddset(&m_stopSignals, SIGINT);
        sigprocmask(SIG_BLOCK, &m_stopSignals, nullptr);
    }

    QDateTime now() override { return QDateTime::currentDateTimeUtc(); }

    bool sleepFor(std::chrono::milliseconds duration) override
    {
        if (m_stopped)
            return false;
        const auto ms = std::max<long long>(duration.count(), 0);
        const timespec timeout{.tv_sec = time_t(ms / 1000), .tv_nsec = long(ms % 1000) * 1000000};
        const int signal = sigtimedwait(&m_stopSignals, nullptr, &timeout);
        m_stopped = signal == SIGTERM || signal == SIGINT;
        return !m_stopped;
    }

private:
    sigset_t m_stopSignals;
    bool m_stopped = false;
};

} // namespace

int main(int argc, char *argv[])
{
    SignalClock clock; // before any thread exists, so that all of them block the signals
    // Plugins and a qt.conf in the program's folder are not ours to load.
    const auto app = makeApplication<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kalvik-logger"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KALVIK_VERSION));
    SwedishCommandLine swedish;
    QCoreApplication::installTranslator(&swedish);

    const QString programFolder = QCoreApplication::applicationDirPath();
    // The installed station's data folder, chosen when the package was built;
    // a build run in place keeps its year files beside the program.
    const QString dataFolder = QString::fromUtf8(kKalvikDataFolder);
    const QString yearFolder = dataFolder.isEmpty() ? programFolder : dataFolder;
    const ParsedLoggerOptions parsed =
        parseLoggerOptions(QCoreApplication::arguments().mid(1), yearFolder);
    if (const auto answer = answerBeforeRunning(parsed, QStringLiteral("kalvik-logger"),
                                                loggerHelpText(yearFolder), KALVIK_VERSION))
        return *answer;

    QTextStream out(stdout);
    QTextStream err(stderr);
    LibrarySensor sensor(programFolder);
    Logger logger(*parsed.options, sensor, clock, {out, err}, QTimeZone::systemTimeZone(),
                  QLatin1String(kIioDevicesFolder));
    return logger.run();
}
