#pragma once

#include "WebOptions.h"

#include <QDateTime>
#include <QString>

struct WebResult
{
    int exitCode = 0;
    QString message;   // one line in Swedish, empty when all went well
    int written = 0;   // files replaced
    int unchanged = 0; // files that already held what they should
};

// Brings the site up to date with the year files, as seen at `now` (local time).
WebResult runWeb(const WebOptions &options, const QDateTime &now);

// The cache of day summaries lies beside the site, not in it, so a web server
// serving the folder never hands it out.
QString cachePathFor(const QString &site);
