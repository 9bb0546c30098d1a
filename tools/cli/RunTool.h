#pragma once

// For a tool's main.cpp, which links kalvik_programfolder (kalvik_add_tool).
#include "OptionTable.h"
#include "ProgramFolderPlugins.h"
#include "SwedishCommandLine.h"
#include "ToolMain.h"

#include <QCoreApplication>

// How a tool starts: its application object App, made without the plugins of
// its folder; Swedish words for Qt's option parser; the answer to --help,
// --version or a wrong option. Then run(options) gives the exit status.
template <typename App, typename Options, typename Run>
int runTool(int &argc, char **argv, const OptionTable<Options> &table, QString (*help)(),
            const char *version, Run run)
{
    const auto app = makeApplication<App>(argc, argv);
    SwedishCommandLine swedish;
    QCoreApplication::installTranslator(&swedish);
    const ParsedCommandLine<Options> parsed =
        parseCommandLine(table, QCoreApplication::arguments().mid(1));
    if (const auto answer = answerBeforeRunning(parsed, table.program, help(), version))
        return *answer;
    return run(*parsed.options);
}
