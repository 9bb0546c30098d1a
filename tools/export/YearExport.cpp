#include "YearExport.h"

#include "ClientArea.h"
#include "CsvTable.h"
#include "Curves.h"
#include "DataRow.h"
#include "DiagramCanvas.h"
#include "OutputFile.h"
#include "YearFile.h"
#include "YearName.h"

#include <QFileInfo>
#include <QLabel>

#include <cmath>
#include <optional>
#include <string>

namespace {

constexpr std::size_t kCsvBlockBytes = 1 << 20;
constexpr double kDotsPerMeterAt96Dpi = 96 / 0.0254;

ExportResult failed(const QString &message)
{
    return ExportResult{1, message};
}

QString cannotWrite(const QString &path)
{
    return QStringLiteral("kan inte skriva %1").arg(path);
}

QString readProblem(const QString &path, const YearFileScan &scan)
{
    switch (scan.problem) {
    case YearFileProblem::None:
        break;
    case YearFileProblem::Missing:
        return QStringLiteral("%1 finns inte").arg(path);
    case YearFileProblem::NotAFile:
        if (QFileInfo(path).isSymLink())
            return QStringLiteral("%1 är en symbolisk länk, som inte följs").arg(path);
        return QStringLiteral("%1 är ingen vanlig fil").arg(path);
    case YearFileProblem::TooLarge:
        return QStringLiteral("%1: %2 byte är för stort för en årsfil (högst %3)")
            .arg(path)
            .arg(scan.bytes)
            .arg(kMaxYearFileBytes);
    case YearFileProblem::CannotOpen:
        if (!QFileInfo(path).isReadable())
            return QStringLiteral("kan inte läsa %1: åtkomst nekad").arg(path);
        return QStringLiteral("kan inte läsa %1").arg(path);
    case YearFileProblem::ReadError:
        return QStringLiteral("läsfel i %1").arg(path);
    }
    return {};
}

} // namespace

QImage yearChart(const ChartData &data, const QString &year, ChartView view, double scale)
{
    ClientArea area;
    area.diagram->setPixelRatio(scale);
    area.setLiveTemperatureVisible(false);
    area.setTitleYear(year);
    area.Label1[1]->setText(lastQnhCaption(data.lastRecord));
    area.setPressureScaleVisible(view != ChartView::Temperature);
    // Pressure first, so that the temperature bars lie over it, as in the window.
    if (view != ChartView::Temperature)
        area.diagram->drawSegments(data.pressure.segments);
    if (view != ChartView::Pressure)
        area.diagram->drawSegments(data.temperature.segments);
    QImage picture = area.picture(scale);
    const int dotsPerMeter = int(std::lround(kDotsPerMeterAt96Dpi * scale));
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    return picture;
}

ExportResult runExport(const ExportOptions &options)
{
    const std::optional<std::int32_t> yearStartDay = yearStartDayFromName(options.yearFile);
    if (!yearStartDay)
        return failed(
            QStringLiteral("%1: namnet måste sluta på ett årtal och .dat, till exempel T_2026.dat")
                .arg(options.yearFile));

    // Outputs are opened first, so a folder that cannot be written costs no read.
    std::optional<OutputFile> csvFile;
    if (!options.csv.isEmpty()) {
        csvFile.emplace(options.csv);
        if (!csvFile->open())
            return failed(csvFile->error());
    }
    std::optional<OutputFile> pngFile;
    if (!options.png.isEmpty()) {
        pngFile.emplace(options.png);
        if (!pngFile->open())
            return failed(pngFile->error());
    }

    CsvTable table;
    std::string csv;
    bool written = true;
    if (csvFile) {
        csv.reserve(kCsvBlockBytes + 4096);
        csv += CsvTable::kHeader;
    }
    // The curves are built as the blocks come, as the window builds them.
    TemperatureCurveBuilder temperature(*yearStartDay);
    PressureCurveBuilder pressure(*yearStartDay);
    DataRecord lastRecord; // all zeros when the file holds none, as the window reads it
    const YearFileScan scan =
        scanYearFile(options.yearFile, [&](std::span<const DataRecord> chunk) {
            if (pngFile) {
                pressure.add(chunk);
                temperature.add(chunk);
                lastRecord = chunk.back();
            }
            if (!csvFile)
                return;
            table.append(chunk, csv);
            if (csv.size() >= kCsvBlockBytes) {
                written = written && csvFile->device().write(csv.data(), qint64(csv.size())) ==
                                         qint64(csv.size());
                csv.clear();
            }
        });
    if (scan.problem != YearFileProblem::None)
        return failed(readProblem(options.yearFile, scan));

    if (csvFile) {
        written = written &&
                  csvFile->device().write(csv.data(), qint64(csv.size())) == qint64(csv.size());
        if (!written)
            return failed(cannotWrite(options.csv));
        if (!csvFile->commit())
            return failed(csvFile->error());
    }
    if (pngFile) {
        const ChartData data{pressure.finish(), temperature.finish(), lastRecord};
        const QImage chart =
            yearChart(data, fileTail(options.yearFile).left(4), options.view, options.scale);
        if (!chart.save(&pngFile->device(), "PNG"))
            return failed(cannotWrite(options.png));
        if (!pngFile->commit())
            return failed(pngFile->error());
    }
    return {};
}
