#include "DataRecord.h"

#include <QtEndian>

namespace {

template <typename T> void appendLe(T v, std::vector<std::byte> &out)
{
    const std::size_t at = out.size();
    out.resize(at + sizeof v);
    qToLittleEndian(v, out.data() + at);
}

} // namespace

DataRecord decodeRecord(std::span<const std::byte, kRecordSize> bytes)
{
    const std::byte *p = bytes.data();
    DataRecord r;
    r.dayNumber = qFromLittleEndian<std::int32_t>(p);
    r.timeOfDay = qFromLittleEndian<float>(p + 4);
    r.qnh = qFromLittleEndian<std::int32_t>(p + 8);
    r.temp = qFromLittleEndian<float>(p + 12);
    return r;
}

void encodeRecord(const DataRecord &r, std::vector<std::byte> &out)
{
    appendLe(r.dayNumber, out);
    appendLe(r.timeOfDay, out);
    appendLe(r.qnh, out);
    appendLe(r.temp, out);
}
