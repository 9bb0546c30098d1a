#include "YearPass.h"

#include "DayNumber.h"

#include <QStringList>

YearPass readYearPass(const QString &path, std::int32_t yearStartDay)
{
    YearPass pass;
    OpenedYearFile opened = openYearFile(path);
    if (!opened.file) {
        pass.errorString = opened.reason;
        return pass;
    }
    TemperatureCurveBuilder temperature(yearStartDay);
    PressureCurveBuilder pressure(yearStartDay);
    RecordFindingsBuilder findings;
    const YearFileScan scan =
        scanYearFile(*opened.file, path, [&](std::span<const DataRecord> block) {
            pressure.add(block);
            temperature.add(block);
            findings.add(block);
            pass.lastRecord = block.back();
        });
    pass.ok = scan.problem == YearFileProblem::None;
    pass.errorString = scan.errorString;
    pass.records = scan.records;
    pass.pressure = pressure.finish();
    pass.temperature = temperature.finish();
    pass.findings = findings.finish();
    return pass;
}

QString recordFindingsText(const QString &path, const RecordFindings &findings)
{
    QStringList lines;
    if (findings.damaged > 0) {
        const QDate date = DayNumber::toDate(findings.firstDamagedDay);
        const QString when = date.isValid() && date.year() > 0 && date.year() <= 9999
                                 ? date.toString(QStringLiteral("yyyy-MM-dd"))
                                 : QStringLiteral("okänt datum");
        lines << QStringLiteral("%1: %2 %3 med orimliga värden hoppades över, den första är "
                                "post %4 (%5)")
                     .arg(path, QString::number(findings.damaged),
                          findings.damaged == 1 ? QStringLiteral("post") : QStringLiteral("poster"),
                          QString::number(findings.firstDamaged), when);
    }
    if (findings.outOfOrder())
        lines << QStringLiteral("%1 är inte i tidsordning: %2 hopp bakåt")
                     .arg(path, QString::number(findings.backwardJumps));
    return lines.join(QLatin1Char('\n'));
}
