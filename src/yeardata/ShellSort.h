#pragma once

#include <span>

// Sorts in place, largest first: Shell sort with the gaps 1, 4, 13, 40, ...
// and a less-or-equal comparison, so equal values move and a NaN counts as
// smaller than anything it meets.
void shellSortArray(std::span<float> values);
