#include "YearPass.h"

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
    const YearFileScan scan =
        scanYearFile(*opened.file, path, [&](std::span<const DataRecord> block) {
            pressure.add(block);
            temperature.add(block);
            pass.lastRecord = block.back();
        });
    pass.ok = scan.problem == YearFileProblem::None;
    pass.errorString = scan.errorString;
    pass.records = scan.records;
    pass.pressure = pressure.finish();
    pass.temperature = temperature.finish();
    return pass;
}
