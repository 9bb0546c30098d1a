#pragma once

#include "DataRecord.h"

#include <cstdint>
#include <span>
#include <string>

// The samples as comma-separated lines for a spreadsheet: ISO date, hh:mm,
// temperature and QNH with a dot whatever the locale, and an empty field for
// a temperature that is not a number and for a QNH of 0 (no reading).
class CsvTable
{
public:
    static constexpr std::string_view kHeader = "date,time,temperature_c,qnh_hpa\n";

    // Appends one line per record, in order.
    void append(std::span<const DataRecord> records, std::string &out);

private:
    std::int32_t m_day = 0;
    bool m_haveDay = false;
    std::string m_date; // of m_day: a year file holds runs of one day
};
