#pragma once

#include "MeterSettings.h"
#include "PortRegister.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace smt160 {

// What the raw-port helper needs of the system; tests record the calls.
class HelperSystem
{
public:
    virtual ~HelperSystem() = default;

    // Why the address may not be read, or nothing when it may.
    virtual std::optional<std::string> refusal(int address) = 0;
    // Access to that one port (ioperm), while the capability is still held.
    virtual OpenedPort openPort(int address) = 0;
    // Empty when every capability is gone.
    virtual std::string dropCapabilities() = 0;
    virtual std::int64_t nowNs() = 0;
};

// Exit status of smt160-rawport.
enum HelperStatus : int {
    kHelperReading = 0,   // stdout: the temperature in C, '.' as separator
    kHelperNoReading = 1, // stdout: why, in Swedish
    kHelperUsage = 2,
};

struct HelperOutcome
{
    int status = kHelperUsage;
    std::string text; // one line, ending in '\n'; two for a wrong call, as every tool words it
};

inline constexpr const char *kRawPortHelp =
    "Användning: smt160-rawport ADRESS LINJE\n"
    "En avläsning av en SMT160-givare direkt på en I/O-port, för libSMT160.so där\n"
    "ingen drivrutin når porten (spelporten, eller en parallellport utan ppdev).\n"
    "Behöver CAP_SYS_RAWIO och lämnar den före mätningen.\n"
    "  ADRESS  portens adress, decimalt, 1 till 65535; bara en spelport eller en\n"
    "          port som kärnan listar\n"
    "  LINJE   11 = stift 11 (BUSY) på parallellporten, annars en bitmask 1 till 255\n"
    "          av registret; 16 = spelportens knapp A1\n"
    "  -h, --help     visar den här hjälpen\n"
    "  -v, --version  visar programmets version\n"
    "Skriver temperaturen i °C med punkt som decimaltecken, eller varför ingen finns.\n"
    "Slutstatus 0 vid en avläsning, 1 utan, 2 vid fel i anropet.\n";

// The helper's whole work for its arguments ADDRESS LINE (decimal): check the
// address, open that port, give up every capability, then measure.
HelperOutcome runRawPortHelper(std::span<const std::string_view> args, HelperSystem &system,
                               const MeterSettings &settings = {});

} // namespace smt160
