#pragma once

#include "OptionTable.h"
#include "SwedishCommandLine.h"

#include <QString>

#include <cstdio>
#include <optional>

// One line on a stream, in the locale's encoding; text that already ends its
// line gets no second newline.
void sayLine(std::FILE *to, const QString &text);

// Run from cron or a timer, every line on stderr becomes a mail or lands in
// the journal: Qt's own remarks about the environment (no runtime folder, the
// off-screen platform) are not ours, so only its errors pass.
void passOnlyQtErrors();

// What a tool answers before it runs: its help, its version or a wrong option
// (exit status 2). Nothing when it should run.
template <typename Options>
std::optional<int> answerBeforeRunning(const ParsedCommandLine<Options> &parsed,
                                       const QString &program, const QString &help,
                                       const char *version)
{
    if (parsed.help) {
        sayLine(stdout, help);
        return 0;
    }
    if (parsed.version) {
        sayLine(stdout, program + QLatin1Char(' ') + QLatin1String(version));
        return 0;
    }
    if (!parsed.options) {
        sayLine(stderr, optionErrorText(program, parsed.error));
        return 2;
    }
    return std::nullopt;
}
