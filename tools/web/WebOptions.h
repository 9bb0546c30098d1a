#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct WebOptions
{
    QString folder; // the year files
    QString out;    // the site
    QString cache;  // the day summaries; empty: beside the site (cachePathFor)
};

struct ParsedWebOptions
{
    std::optional<WebOptions> options;
    bool help = false;
    bool version = false;
    QString error; // one line naming the option, when neither of the above
};

// The arguments after the program name.
ParsedWebOptions parseWebOptions(const QStringList &arguments);

QString webUsage();
