// A sensor library that lacks GetTempGame.

#include <cstdint>

extern "C" __attribute__((visibility("default"))) float GetTemp(std::int32_t, std::int32_t)
{
    return 5.0f;
}
