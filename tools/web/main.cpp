#include "ProgramFolderPlugins.h"
#include "SwedishCommandLine.h"
#include "WebOptions.h"
#include "WebRun.h"

#include <QApplication>
#include <QDateTime>

#include <cstdio>
#include <memory>

namespace {

void say(std::FILE *to, const QString &line)
{
    std::fprintf(to, "%s\n", line.toLocal8Bit().constData());
}

// Run by a timer, every line on stderr lands in the journal: Qt's own remarks
// about the environment are not ours.
void keepQuiet(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        say(stderr, text);
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(keepQuiet);
    // The year chart is the window's picture, drawn off screen: no display needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Plugins and a qt.conf in the program's folder are not ours to load.
    auto plugins =
        std::make_unique<ProgramFolderPlugins>(ProgramFolderPlugins::runningProgramFolder());
    QApplication app(argc, argv);
    plugins.reset();
    SwedishCommandLine swedish;
    QCoreApplication::installTranslator(&swedish);

    const ParsedWebOptions parsed = parseWebOptions(QCoreApplication::arguments().mid(1));
    if (parsed.help) {
        say(stdout, webUsage());
        return 0;
    }
    if (parsed.version) {
        say(stdout, QStringLiteral("kalvik-web " KALVIK_VERSION));
        return 0;
    }
    if (!parsed.options) {
        say(stderr, QStringLiteral("kalvik-web: ") + parsed.error);
        say(stderr, webUsage());
        return 2;
    }
    const WebResult result = runWeb(*parsed.options, QDateTime::currentDateTime());
    if (!result.message.isEmpty())
        say(stderr, QStringLiteral("kalvik-web: ") + result.message);
    return result.exitCode;
}
