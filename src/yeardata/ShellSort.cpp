#include "ShellSort.h"

#include <cstddef>

void shellSortArray(std::span<float> values)
{
    const std::size_t n = values.size();
    if (n == 0)
        return;

    // The first gap of 1, 4, 13, 40, ... that exceeds n; each pass uses the one below.
    std::size_t h = 0;
    while (h <= n)
        h = 3 * h + 1;

    do {
        h /= 3;
        for (std::size_t i = h; i < n; ++i) {
            const float v = values[i];
            std::size_t j = i;
            // An equal value stays where it is: moving it gains nothing, and a
            // day of many equal readings would take quadratic time. "Not
            // greater or equal" moves a NaN on either side.
            while (!(values[j - h] >= v)) {
                values[j] = values[j - h];
                j -= h;
                if (j < h)
                    break;
            }
            values[j] = v;
        }
    } while (h != 1);
}
