#include "SMT160.h"

#include "SensorReader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <exception>
#include <limits>
#include <memory>
#include <string>
#include <utility>

namespace {

// Per thread, so two threads reading two ports each get their own reason.
thread_local std::string lastError;

// The folder this library was loaded from, links resolved. Taken while it is
// being loaded: a program that loads it through a descriptor names it
// /proc/self/fd/N, which leads to the file only while that is open.
const std::string &libraryFolder()
{
    static const std::string folder = [] {
        Dl_info info{};
        if (::dladdr(reinterpret_cast<void *>(&GetTemp), &info) == 0 || !info.dli_fname)
            return std::string();
        const std::unique_ptr<char, decltype(&std::free)> real(::realpath(info.dli_fname, nullptr),
                                                               &std::free);
        const std::string library = real ? real.get() : info.dli_fname;
        const std::size_t slash = library.rfind('/');
        return slash == std::string::npos ? std::string() : library.substr(0, slash + 1);
    }();
    return folder;
}

__attribute__((constructor)) void rememberLibraryFolder()
{
    libraryFolder();
}

// The raw-port helper lies beside this library, wherever that was loaded from.
smt160::PortPaths systemPaths()
{
    smt160::PortPaths paths;
    if (!libraryFolder().empty())
        paths.helper = libraryFolder() + "smt160-rawport";
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
