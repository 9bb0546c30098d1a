// For libFuzzer targets: a broken rule stops the run, so the input is kept.
#pragma once

#include <cstdlib>

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}
