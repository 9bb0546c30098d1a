#pragma once

#include <span>

// Sorts in place, largest first: Shell sort with the gaps 1, 4, 13, 40, ...
// A value moves past smaller ones only, never past an equal one, and any
// comparison with a NaN counts as smaller. 0 is a value like any other.
void shellSortArray(std::span<float> values);
