#include "DataRecord.h"

#include <bit>
#include <cstring>

namespace {

std::uint32_t readLe32(const std::byte *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
        | std::uint32_t(p[3]) << 24;
}

void writeLe32(std::uint32_t v, std::vector<std::byte> &out)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(std::byte((v >> shift) & 0xff));
}

} // namespace

DataRecord decodeRecord(std::span<const std::byte, kRecordSize> bytes)
{
    const std::byte *p = bytes.data();
    DataRecord r;
    r.dayNumber = std::bit_cast<std::int32_t>(readLe32(p));
    r.timeOfDay = std::bit_cast<float>(readLe32(p + 4));
    r.qnh = std::bit_cast<std::int32_t>(readLe32(p + 8));
    r.temp = std::bit_cast<float>(readLe32(p + 12));
    return r;
}

std::vector<DataRecord> decodeRecords(std::span<const std::byte> bytes)
{
    const std::size_t count = bytes.size() / kRecordSize;
    std::vector<DataRecord> records;
    records.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        records.push_back(decodeRecord(bytes.subspan(i * kRecordSize).first<kRecordSize>()));
    return records;
}

void encodeRecord(const DataRecord &r, std::vector<std::byte> &out)
{
    writeLe32(std::bit_cast<std::uint32_t>(r.dayNumber), out);
    writeLe32(std::bit_cast<std::uint32_t>(r.timeOfDay), out);
    writeLe32(std::bit_cast<std::uint32_t>(r.qnh), out);
    writeLe32(std::bit_cast<std::uint32_t>(r.temp), out);
}
