#pragma once

#include "WebStats.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <span>
#include <vector>

// The pages as text, from figures already worked out; nothing here reads a
// file or knows the clock. Every page is whole HTML in UTF-8 with its style
// inside, so a page needs nothing but its charts.

struct Chart
{
    QString file; // beside the page
    int width = 0, height = 0;
    QString alt;
};

struct NowPage
{
    QDateTime now;
    std::vector<int> years; // on disk, oldest first
    LatestReadings latest;
    bool stale = false; // the newest reading is more than an hour old
    std::optional<DaySummary> today, yesterday;
    PeriodStats month, year;
    Chart hours; // the last 48 hours; file empty when there is nothing to draw
};
QByteArray nowPage(const NowPage &page);

struct YearPage
{
    int year = 0;
    std::vector<int> years;
    std::span<const DaySummary> days;
    Chart chart;
};
QByteArray yearPage(const YearPage &page);

struct ClimatePage
{
    int year = 0; // the year drawn over the band
    std::vector<int> years;
    int earlierFrom = 0, earlierTo = 0; // the band's years; 0 when none
    YearRecords records;
    Chart chart;
};
QByteArray climatePage(const ClimatePage &page);
