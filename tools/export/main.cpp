// kalvik-export: a year file's chart as PNG and its samples as CSV.
#include "ExportOptions.h"
#include "RunTool.h"
#include "YearExport.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    passOnlyQtErrors();
    // The chart is drawn off screen, so no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runTool<QApplication>(
        argc, argv, exportOptionTable(), exportUsage, KALVIK_VERSION, [](const ExportOptions &o) {
            const ExportResult result = runExport(o);
            if (!result.message.isEmpty())
                for (const QString &line : result.message.split(QLatin1Char('\n')))
                    sayLine(stderr, QStringLiteral("kalvik-export: ") + line);
            return result.exitCode;
        });
}
