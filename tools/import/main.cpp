#include "ImportOptions.h"
#include "SwedishCommandLine.h"
#include "YearImport.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SwedishCommandLine swedish;
    QCoreApplication::installTranslator(&swedish);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const ParsedImportOptions parsed = parseImportOptions(QCoreApplication::arguments().mid(1));
    if (parsed.help) {
        out << importHelpText();
        return 0;
    }
    if (parsed.version) {
        out << QStringLiteral("kalvik-import " KALVIK_VERSION) << Qt::endl;
        return 0;
    }
    if (!parsed.options) {
        err << QStringLiteral("kalvik-import: ") << parsed.error << Qt::endl
            << importUsage() << Qt::endl;
        return 2;
    }
    return runImport(*parsed.options, QTimeZone::systemTimeZone(), out, err);
}
