#pragma once

#include "OptionTable.h"

#include <QString>

struct WebOptions
{
    QString folder; // the year files
    QString out;    // the site
    QString cache;  // the day summaries; empty: beside the site (cachePathFor)
};

const OptionTable<WebOptions> &webOptionTable();

QString webUsage();
