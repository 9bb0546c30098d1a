#include "SMT160.h"

#include "SensorReader.h"

#include <dlfcn.h>

#include <exception>
#include <limits>
#include <string>
#include <utility>

namespace {

// Per thread, so two threads reading two ports each get their own reason.
thread_local std::string lastError;

// The raw-port helper lies beside this library, wherever that was loaded from.
smt160::PortPaths systemPaths()
{
    smt160::PortPaths paths;
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void *>(&GetTemp), &info) != 0 && info.dli_fname) {
        const std::string library = info.dli_fname;
        const std::size_t slash = library.rfind('/');
        if (slash != std::string::npos)
            paths.helper = library.substr(0, slash + 1) + "smt160-rawport";
    }
    return paths;
}

float read(smt160::PortKind kind, int32_t address, int32_t line) noexcept
{
    try {
        static const smt160::PortPaths paths = systemPaths();
        smt160::Reading reading = smt160::readSensor(kind, address, line, paths);
        lastError = std::move(reading.reason);
        return reading.celsius;
    } catch (const std::exception &e) {
        lastError = std::string("Internt fel: ") + e.what();
    } catch (...) {
        lastError = "Internt fel";
    }
    return std::numeric_limits<float>::quiet_NaN();
}

} // namespace

extern "C" float GetTemp(int32_t address, int32_t line)
{
    const bool gamePort = address >= smt160::kFirstGamePort && address <= smt160::kLastGamePort;
    return read(gamePort ? smt160::PortKind::Game : smt160::PortKind::Parallel, address, line);
}

extern "C" float GetTempGame(int32_t address, int32_t line)
{
    return read(smt160::PortKind::Game, address, line);
}

extern "C" const char *SMT160_LastError(void)
{
    return lastError.c_str();
}
