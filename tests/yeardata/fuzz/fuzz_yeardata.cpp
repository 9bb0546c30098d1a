// libFuzzer target (scripts/fuzz): any bytes as a year file: decoding, day grouping, curves, sort.
#include "../../support/FuzzCheck.h"
#include "Curves.h"
#include "DataRecord.h"
#include "ShellSort.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The first four bytes choose the year start, so x reaches the int32 limits too.
    std::int32_t yearStart = 37987;
    if (size >= 4) {
        std::memcpy(&yearStart, data, 4);
        data += 4;
        size -= 4;
    }
    // Record by record, as the reader decodes on a big-endian host.
    std::vector<DataRecord> records;
    for (std::size_t at = 0; at + kRecordSize <= size; at += kRecordSize)
        records.push_back(decodeRecord(
            std::as_bytes(std::span<const std::uint8_t, kRecordSize>(data + at, kRecordSize))));

    const TemperatureCurve temperature = temperatureCurve(records, yearStart);
    check(temperature.segments.size() <= 2 * records.size());
    for (std::size_t i = 1; i < temperature.lastDayValues.size(); ++i)
        check(temperature.lastDayValues[i - 1] >= temperature.lastDayValues[i]);

    const PressureCurve pressure = pressureCurve(records, yearStart);
    check(pressure.series.size() % 2 == 0 && pressure.series.size() <= 2 * records.size());
    const std::size_t vertices = pressure.series.size() / 2;
    check(pressure.segments.size() <= (vertices < 2 ? 0 : 2 * (vertices - 1)));
    for (std::size_t i = 0; i < vertices; ++i)
        check(pressure.series[2 * i + 1] != 0); // a vertex is never a missing reading

    // The raw temperatures, NaNs and all: the sort must end and keep every value.
    const auto bits = [](float v) { return std::bit_cast<std::uint32_t>(v); };
    std::vector<float> values(records.size());
    std::ranges::transform(records, values.begin(), &DataRecord::temp);
    std::vector<float> before = values;
    shellSortArray(values);
    std::ranges::sort(before, {}, bits);
    std::ranges::sort(values, {}, bits);
    check(std::ranges::equal(before, values, {}, bits, bits));
    return 0;
}
