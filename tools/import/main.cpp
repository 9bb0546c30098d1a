// kalvik-import: other programs' and the weather service's samples into the year files.
#include "ImportOptions.h"
#include "RunTool.h"
#include "YearImport.h"

#include <QTextStream>

int main(int argc, char *argv[])
{
    return runTool<QCoreApplication>(argc, argv, importOptionTable(), importHelpText,
                                     KALVIK_VERSION, [](const ImportOptions &options) {
                                         QTextStream out(stdout);
                                         QTextStream err(stderr);
                                         return runImport(options, QTimeZone::systemTimeZone(), out,
                                                          err);
                                     });
}
