#pragma once

#include <span>

// Sorts in place, largest first: Shell sort with the gaps 1, 4, 13, 40, ...
// and a less-or-equal comparison, so equal values move, and any comparison
// with a NaN counts as less-or-equal. 0 is a value like any other.
void shellSortArray(std::span<float> values);
