#include "CsvTable.h"

#include "DataRow.h"
#include "ReadoutCaptions.h"

#include <charconv>
#include <cmath>

namespace {

void appendTwoDigits(int v, std::string &out)
{
    out.push_back(char('0' + v / 10));
    out.push_back(char('0' + v % 10));
}

template <typename T> void appendNumber(T v, std::string &out)
{
    char text[64];
    std::to_chars_result end{};
    if constexpr (std::is_floating_point_v<T>)
        end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed);
    else
        end = std::to_chars(text, text + sizeof text, v);
    out.append(text, end.ptr);
}

} // namespace

void CsvTable::append(std::span<const DataRecord> records, std::string &out)
{
    for (const DataRecord &r : records) {
        if (!m_haveDay || r.dayNumber != m_day) {
            m_day = r.dayNumber;
            m_haveDay = true;
            m_date = dayNumberText(r.dayNumber).toStdString(); // empty past year 9999
        }
        out += m_date;
        out.push_back(',');
        if (const std::optional<int> second = secondOfDay(r.timeOfDay)) {
            appendTwoDigits(*second / 3600, out);
            out.push_back(':');
            appendTwoDigits(*second % 3600 / 60, out);
        }
        out.push_back(',');
        // The shortest text that reads back as the same float: 21.3, not 21.299999.
        if (std::isfinite(r.temp))
            appendNumber(r.temp, out);
        out.push_back(',');
        if (r.qnh != 0)
            appendNumber(r.qnh, out);
        out.push_back('\n');
    }
}
