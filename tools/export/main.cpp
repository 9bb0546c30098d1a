#include "ExportOptions.h"
#include "ProgramFolderPlugins.h"
#include "SwedishCommandLine.h"
#include "YearExport.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {

void say(std::FILE *to, const QString &line)
{
    std::fprintf(to, "%s\n", line.toLocal8Bit().constData());
}

// Run from cron, every line on stderr becomes a mail: Qt's own remarks about
// the environment (no runtime folder, the off-screen platform) are not ours.
void keepQuiet(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        say(stderr, text);
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(keepQuiet);
    // The chart is drawn off screen, so no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Plugins and a qt.conf in the program's folder are not ours to load.
    auto plugins =
        std::make_unique<ProgramFolderPlugins>(ProgramFolderPlugins::runningProgramFolder());
    QApplication app(argc, argv);
    plugins.reset();
    SwedishCommandLine swedish;
    QCoreApplication::installTranslator(&swedish);

    const ParsedOptions parsed = parseExportOptions(QCoreApplication::arguments().mid(1));
    if (parsed.help) {
        say(stdout, exportUsage());
        return 0;
    }
    if (parsed.version) {
        say(stdout, QStringLiteral("kalvik-export " KALVIK_VERSION));
        return 0;
    }
    if (!parsed.options) {
        say(stderr, QStringLiteral("kalvik-export: ") + parsed.error);
        say(stderr, exportUsage());
        return 2;
    }
    const ExportResult result = runExport(*parsed.options);
    if (!result.message.isEmpty())
        say(stderr, QStringLiteral("kalvik-export: ") + result.message);
    return result.exitCode;
}
