#include "ExportOptions.h"
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
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ParsedOptions parsed = parseExportOptions(arguments);
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

    // The chart is drawn off screen, so no display is needed; the table needs
    // no drawing at all.
    std::unique_ptr<QCoreApplication> app;
    if (parsed.options->png.isEmpty()) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    const ExportResult result = runExport(*parsed.options);
    if (!result.message.isEmpty())
        say(stderr, QStringLiteral("kalvik-export: ") + result.message);
    return result.exitCode;
}
