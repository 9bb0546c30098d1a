#include "WebPages.h"

#include "DayNumber.h"
#include "WebText.h"

#include <QStringList>

namespace {

using namespace WebText;

constexpr auto kStyle =
    R"(:root{color-scheme:light dark;--bg:#f7f7f2;--fg:#1d1d1b;--muted:#5b5b55;--card:#fff;--line:#d6d6cf;--link:#0b57a4;--warm:#b3261e;--cold:#1c4fc0}
@media (prefers-color-scheme:dark){:root{--bg:#151618;--fg:#ebebe6;--muted:#a8a8a0;--card:#212226;--line:#3b3c41;--link:#8ab4f8;--warm:#ff8a80;--cold:#8ab4f8}}
*{box-sizing:border-box}
body{margin:0;background:var(--bg);color:var(--fg);font:16px/1.45 system-ui,-apple-system,"Segoe UI",sans-serif}
header,main{max-width:64rem;margin:0 auto;padding:0 1rem}
nav{display:flex;flex-wrap:wrap;gap:.25rem 1rem;padding:.75rem 0;border-bottom:1px solid var(--line)}
nav strong{font-weight:700}
a{color:var(--link)}
h1{font-size:1.6rem;margin:1rem 0 .5rem}
h2{font-size:1.2rem;margin:1.5rem 0 .5rem}
.cards{display:grid;grid-template-columns:repeat(auto-fill,minmax(min(100%,18rem),1fr));gap:1rem}
.card{background:var(--card);border:1px solid var(--line);border-radius:.5rem;padding:.5rem .75rem}
.card h2,.card h3{font-size:1.05rem;margin:.25rem 0 .5rem}
table{border-collapse:collapse;width:100%;font-size:.95rem}
th,td{text-align:left;font-weight:normal;padding:.2rem .3rem;border-top:1px solid var(--line);vertical-align:top}
td{text-align:right;white-space:nowrap}
figure{margin:1rem 0}
figcaption{color:var(--muted);font-size:.9rem}
img{max-width:100%;height:auto;display:block;border-radius:.25rem}
.now{font-size:2.6rem;font-weight:600;line-height:1.1;margin:.25rem 0}
.muted{color:var(--muted)}
.notice{background:#fff3cd;color:#3d2f00;border:1px solid #d9b440;padding:.6rem .75rem;border-radius:.5rem}
)";

// The page itself is named, not linked.
QString link(const QString &href, const QString &text, bool current)
{
    return current ? QStringLiteral("<strong>%1</strong>").arg(text)
                   : QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text);
}

QString document(const QString &title, const QString &current, const std::vector<int> &years,
                 const QString &body)
{
    QString nav = link(QStringLiteral("index.html"), QStringLiteral("Just nu"),
                       current == QLatin1String("index.html")) +
                  QLatin1Char('\n') +
                  link(QStringLiteral("klimat.html"), QStringLiteral("Klimat"),
                       current == QLatin1String("klimat.html"));
    for (auto y = years.rbegin(); y != years.rend(); ++y) {
        const QString file = QStringLiteral("%1.html").arg(*y);
        nav += QLatin1Char('\n') + link(file, QString::number(*y), current == file);
    }
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"sv\">\n<head>\n<meta charset=\"utf-8\">\n"
               "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
               "<meta name=\"color-scheme\" content=\"light dark\">\n"
               "<title>%1 – Kalvik</title>\n<style>\n%2</style>\n</head>\n<body>\n"
               "<header>\n<nav aria-label=\"Sidor\">\n%3\n</nav>\n</header>\n"
               "<main>\n%4</main>\n</body>\n</html>\n")
        .arg(escaped(title), QLatin1String(kStyle), nav, body);
}

QString figure(const Chart &chart, const QString &caption)
{
    // The chart links to itself, for a closer look on a phone.
    return QStringLiteral("<figure>\n<a href=\"%1\"><img src=\"%1\" width=\"%2\" height=\"%3\" "
                          "alt=\"%4\"></a>\n"
                          "<figcaption>%5</figcaption>\n</figure>\n")
        .arg(chart.file)
        .arg(chart.width)
        .arg(chart.height)
        .arg(escaped(chart.alt), caption);
}

QString row(const QString &name, const QString &value, const QString &when = {})
{
    return QStringLiteral("<tr><th scope=\"row\">%1</th><td>%2</td><td>%3</td></tr>\n")
        .arg(name, value, when);
}

template <typename T> QString dated(const std::optional<Dated<T>> &v, bool withYear)
{
    return v ? (withYear ? isoDate(v->day) : shortDate(v->day)) : QString();
}

QString tempOrDash(const std::optional<Dated<float>> &v)
{
    return v ? temperature(v->value) : QStringLiteral("–");
}

QString qnhOrDash(const std::optional<Dated<std::int32_t>> &v)
{
    return v ? pressure(v->value, 0) : QStringLiteral("–");
}

// One month's or the year's table.
QString periodCard(const QString &heading, const PeriodStats &s)
{
    QString html = QStringLiteral("<section class=\"card\">\n<h3>%1</h3>\n").arg(heading);
    if (s.tempDays == 0 && !s.meanQnh)
        return html + QStringLiteral("<p class=\"muted\">Inga mätningar.</p>\n</section>\n");
    html += QStringLiteral("<table>\n");
    html += row(QStringLiteral("Medeltemperatur"),
                s.meanTemp ? temperature(*s.meanTemp) : QStringLiteral("–"));
    html += row(QStringLiteral("Högsta temperatur"), tempOrDash(s.high), dated(s.high, false));
    html += row(QStringLiteral("Lägsta temperatur"), tempOrDash(s.low), dated(s.low, false));
    html +=
        row(QStringLiteral("Frostdagar (lägsta under 0&nbsp;°C)"), QString::number(s.frostDays));
    html += row(QStringLiteral("Isdagar (högsta under 0&nbsp;°C)"), QString::number(s.iceDays));
    html +=
        row(QStringLiteral("Sommardagar (högsta minst 25&nbsp;°C)"), QString::number(s.summerDays));
    html += row(QStringLiteral("Tropiska nätter (lägsta minst 20&nbsp;°C)"),
                QString::number(s.tropicalNights));
    html += row(QStringLiteral("Medellufttryck (QNH)"),
                s.meanQnh ? pressure(*s.meanQnh, 1) : QStringLiteral("–"));
    html += row(QStringLiteral("Högsta lufttryck"), qnhOrDash(s.qnhHigh), dated(s.qnhHigh, false));
    html += row(QStringLiteral("Lägsta lufttryck"), qnhOrDash(s.qnhLow), dated(s.qnhLow, false));
    html += row(QStringLiteral("Dagar med temperatur"), QString::number(s.tempDays));
    return html + QStringLiteral("</table>\n</section>\n");
}

// "Januari": a month's name at the head of a table.
QString monthHeading(int month)
{
    QString name = monthName(month);
    name[0] = name[0].toUpper();
    return name;
}

QString at(float time)
{
    return QStringLiteral("kl.&nbsp;") + clock(time);
}

QString dayCard(const QString &heading, const std::optional<DaySummary> &day)
{
    QString html = QStringLiteral("<section class=\"card\">\n<h2>%1</h2>\n").arg(heading);
    if (!day || !day->hasTemp())
        return html +
               QStringLiteral("<p class=\"muted\">Ingen temperatur uppmätt.</p>\n</section>\n");
    return html + QStringLiteral("<table>\n") +
           row(QStringLiteral("Högsta"), temperature(day->tempHigh), at(day->tempHighTime)) +
           row(QStringLiteral("Lägsta"), temperature(day->tempLow), at(day->tempLowTime)) +
           QStringLiteral("</table>\n</section>\n");
}

QString extremesCard(const QString &heading, const PeriodStats &s, bool withYear)
{
    QString html = QStringLiteral("<section class=\"card\">\n<h2>%1</h2>\n").arg(heading);
    if (!s.high)
        return html +
               QStringLiteral("<p class=\"muted\">Ingen temperatur uppmätt.</p>\n</section>\n");
    return html + QStringLiteral("<table>\n") +
           row(QStringLiteral("Högsta"), temperature(s.high->value), dated(s.high, withYear)) +
           row(QStringLiteral("Lägsta"), temperature(s.low->value), dated(s.low, withYear)) +
           QStringLiteral("</table>\n</section>\n");
}

// "kl. 14:05", with the date in front when it is not today.
QString whenText(std::int32_t day, float time, const QDate &today)
{
    const QDate date = DayNumber::toDate(day);
    const QString clockPart = at(time);
    if (date == today)
        return clockPart;
    if (date == today.addDays(-1))
        return QStringLiteral("i går ") + clockPart;
    return isoDate(day) + QLatin1Char(' ') + clockPart;
}

} // namespace

QByteArray nowPage(const NowPage &page)
{
    const QDate today = page.now.date();
    QString body = QStringLiteral("<h1>Just nu</h1>\n");
    const LatestReadings &l = page.latest;
    if (page.stale && l.temp)
        body += QStringLiteral(
                    "<p class=\"notice\">Inga nya mätningar: den senaste är från %1 "
                    "kl.&nbsp;%2, mer än en timme sedan. Värdena nedan är inte aktuella.</p>\n")
                    .arg(isoDate(l.temp->day), clock(l.temp->time));
    body += QStringLiteral("<section>\n");
    if (l.temp)
        body += QStringLiteral("<p class=\"now\">%1</p>\n<p>Temperatur %2%3</p>\n")
                    .arg(temperature(l.temp->value),
                         page.stale ? QStringLiteral("senast uppmätt ") : QString(),
                         whenText(l.temp->day, l.temp->time, today));
    else
        body += QStringLiteral("<p>Ingen temperatur uppmätt.</p>\n");
    if (l.qnh)
        body += QStringLiteral("<p>Lufttryck (QNH) <strong>%1</strong>, %2</p>\n")
                    .arg(pressure(l.qnh->value, 0), whenText(l.qnh->day, l.qnh->time, today));
    else
        body += QStringLiteral("<p>Inget lufttryck uppmätt.</p>\n");
    body += QStringLiteral("</section>\n<div class=\"cards\">\n");
    body +=
        dayCard(QStringLiteral("I dag, %1").arg(isoDate(std::int32_t(DayNumber::fromDate(today)))),
                page.today);
    body += dayCard(QStringLiteral("I går, %1")
                        .arg(isoDate(std::int32_t(DayNumber::fromDate(today.addDays(-1))))),
                    page.yesterday);
    body += QStringLiteral("</div>\n<h2>De senaste 48 timmarna</h2>\n");
    if (page.hours.file.isEmpty())
        body += QStringLiteral("<p class=\"muted\">Inga mätningar de senaste 48 timmarna.</p>\n");
    else
        body +=
            figure(page.hours, QStringLiteral("Temperatur (röd, °C till vänster) och lufttryck "
                                              "(lila, hPa till höger), medel över fem minuter."));
    body += QStringLiteral("<div class=\"cards\">\n");
    body += extremesCard(QStringLiteral("%1 %2").arg(monthHeading(today.month())).arg(today.year()),
                         page.month, false);
    body += extremesCard(QStringLiteral("Året %1").arg(today.year()), page.year, false);
    body += QStringLiteral("</div>\n");
    return document(QStringLiteral("Just nu"), QStringLiteral("index.html"), page.years, body)
        .toUtf8();
}

QByteArray yearPage(const YearPage &page)
{
    QString body = QStringLiteral("<h1>%1</h1>\n").arg(page.year);
    body += figure(page.chart, QStringLiteral("Samma bild som i Kalviks fönster."));
    body += QStringLiteral("<h2>Hela året</h2>\n<div class=\"cards\">\n");
    body += periodCard(QStringLiteral("%1").arg(page.year), periodStats(page.days));
    body += QStringLiteral("</div>\n<h2>Månad för månad</h2>\n<div class=\"cards\">\n");
    for (int m = 1; m <= 12; ++m) {
        body += periodCard(monthHeading(m), periodStats(monthDays(page.days, page.year, m)));
    }
    body +=
        QStringLiteral("</div>\n<p class=\"muted\">Medeltemperaturen är medel av dygnens medel. "
                       "Ett värde som inte kan vara en mätning räknas som ingen mätning.</p>\n");
    return document(QString::number(page.year), QStringLiteral("%1.html").arg(page.year),
                    page.years, body)
        .toUtf8();
}

QByteArray climatePage(const ClimatePage &page)
{
    QString body = QStringLiteral("<h1>Klimat</h1>\n");
    const QString band =
        page.earlierFrom == 0
            ? QStringLiteral("Det finns inga tidigare år att jämföra med.")
            : QStringLiteral("Grått fält: lägsta och högsta temperatur för varje kalenderdag "
                             "%1; grå linje: medel av dygnsmedlen.")
                  .arg(page.earlierFrom == page.earlierTo
                           ? QString::number(page.earlierFrom)
                           : QStringLiteral("%1–%2").arg(page.earlierFrom).arg(page.earlierTo));
    body += QStringLiteral("<h2>%1 mot tidigare år</h2>\n").arg(page.year);
    body += figure(
        page.chart,
        QStringLiteral("Dygnets högsta (röd) och lägsta (blå) temperatur %1. ").arg(page.year) +
            band);
    body += QStringLiteral("<h2>Rekord månad för månad</h2>\n<div class=\"cards\">\n");
    for (int m = 1; m <= 12; ++m) {
        const MonthRecords &r = page.records[std::size_t(m - 1)];
        body += QStringLiteral("<section class=\"card\">\n<h3>%1</h3>\n").arg(monthHeading(m));
        if (!r.high && !r.qnhHigh) {
            body += QStringLiteral("<p class=\"muted\">Inga mätningar.</p>\n</section>\n");
            continue;
        }
        body += QStringLiteral("<table>\n");
        body += row(QStringLiteral("Högsta temperatur"), tempOrDash(r.high), dated(r.high, true));
        body += row(QStringLiteral("Lägsta temperatur"), tempOrDash(r.low), dated(r.low, true));
        body +=
            row(QStringLiteral("Högsta lufttryck"), qnhOrDash(r.qnhHigh), dated(r.qnhHigh, true));
        body += row(QStringLiteral("Lägsta lufttryck"), qnhOrDash(r.qnhLow), dated(r.qnhLow, true));
        body += QStringLiteral("</table>\n</section>\n");
    }
    body += QStringLiteral("</div>\n");
    return document(QStringLiteral("Klimat"), QStringLiteral("klimat.html"), page.years, body)
        .toUtf8();
}
