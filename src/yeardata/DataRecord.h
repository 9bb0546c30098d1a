#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// One sample of a year file as the logger writes it: 16 bytes, little-endian.
struct DataRecord
{
    std::int32_t dayNumber = 0; // days since 1899-12-30
    float timeOfDay = 0.0f;     // fraction of a day
    std::int32_t qnh = 0;       // whole hPa, 0 = no reading
    float temp = 0.0f;          // degrees Celsius

    friend bool operator==(const DataRecord &, const DataRecord &) = default;
};

inline constexpr std::size_t kRecordSize = 16;

// Decodes one record from exactly kRecordSize bytes, field by field, so the
// result does not depend on the host's byte order or struct padding.
DataRecord decodeRecord(std::span<const std::byte, kRecordSize> bytes);

// Appends the 16-byte encoding of r to out (used by tools and tests).
void encodeRecord(const DataRecord &r, std::vector<std::byte> &out);
