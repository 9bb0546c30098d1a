// smt160-read ADDRESS [LINE]: one reading of an SMT160 sensor through the
// libSMT160.so beside this program, for checking the wiring. Like the library
// it checks, it is plain C++ without Qt, so it parses its two arguments itself.

#include "TrustedLibrary.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <dlfcn.h>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kExitReading = 0;
constexpr int kExitNoReading = 1;
constexpr int kExitUsage = 2;

constexpr std::int32_t kFirstGamePort = 513;
constexpr std::int32_t kLastGamePort = 520;
constexpr std::int32_t kParallelLine = 11; // pin 11, BUSY
constexpr std::int32_t kGameLine = 16;     // button A1

using ReadFn = float (*)(std::int32_t, std::int32_t);
using ErrorFn = const char *(*)();

void printUsage(std::FILE *to)
{
    std::fputs(
        "Användning: smt160-read ADRESS [LINJE]\n"
        "  ADRESS  portadress, decimal eller hexadecimal med 0x: 889 (0x379) för\n"
        "          parallellporten vid 0x378, 513 till 520 (0x201 till 0x208) för spelporten\n"
        "  LINJE   11 = stift 11 (BUSY) på parallellporten, annars en bitmask av\n"
        "          registret; 16 (0x10) = spelportens knapp A1 (stift 2).\n"
        "          Förval: 16 för spelportsadresser, annars 11.\n"
        "Skriver givarens temperatur med en decimal (utan programmets korrektion -1,1),\n"
        "eller varför ingen finns. Slutstatus 0 vid en avläsning, 1 utan, 2 vid fel i\n"
        "anropet.\n"
        "  -h, --help     visar den här hjälpen\n"
        "  -v, --version  visar programmets version\n",
        to);
}

int usageError(const char *what, std::string_view argument)
{
    std::fprintf(stderr, "smt160-read: %s '%.*s'.\nSe smt160-read --help.\n", what,
                 int(argument.size()), argument.data());
    return kExitUsage;
}

std::optional<std::int32_t> parseNumber(std::string_view text)
{
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string programDir()
{
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0)
        return {};
    path.resize(std::size_t(n));
    return path.substr(0, path.rfind('/'));
}

// The copy beside the program, and only when nobody else can replace it;
// loaded from the very file that was checked.
void *openLibrary(std::string &why)
{
    const std::string path = programDir() + "/libSMT160.so";
    const smt160::TrustedLoad load = smt160::loadTrustedLibrary(path);
    switch (load.outcome) {
    case smt160::TrustedLoad::Outcome::Loaded:
        return load.handle;
    case smt160::TrustedLoad::Outcome::Missing:
        why = path + ": " + std::generic_category().message(ENOENT);
        break;
    case smt160::TrustedLoad::Outcome::Untrusted:
    case smt160::TrustedLoad::Outcome::NotLoadable:
        why = load.detail;
        break;
    }
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    std::setlocale(LC_ALL, ""); // the user's decimal separator, like the program
    std::vector<std::string_view> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            printUsage(stdout);
            return kExitReading;
        }
        if (arg == "-v" || arg == "--version") {
            std::printf("smt160-read %s\n", KALVIK_VERSION);
            return kExitReading;
        }
        if (arg.starts_with('-'))
            return usageError("okänd flagga", arg);
        positional.push_back(arg);
    }
    if (positional.empty()) {
        printUsage(stderr);
        return kExitUsage;
    }
    if (positional.size() > 2)
        return usageError("för många argument", positional[2]);
    const std::optional<std::int32_t> address = parseNumber(positional[0]);
    if (!address)
        return usageError("ogiltig adress", positional[0]);
    const bool gamePort = *address >= kFirstGamePort && *address <= kLastGamePort;
    const std::optional<std::int32_t> line =
        positional.size() == 2 ? parseNumber(positional[1])
                               : std::optional(gamePort ? kGameLine : kParallelLine);
    if (!line)
        return usageError("ogiltig linje", positional[1]);

    std::string why;
    void *lib = openLibrary(why);
    if (!lib) {
        std::fprintf(stderr, "libSMT160.so kunde inte laddas: %s\n", why.c_str());
        return kExitUsage;
    }
    const char *function = gamePort ? "GetTempGame" : "GetTemp";
    const auto read = reinterpret_cast<ReadFn>(::dlsym(lib, function));
    const auto lastError = reinterpret_cast<ErrorFn>(::dlsym(lib, "SMT160_LastError"));
    if (!read || !lastError) {
        std::fprintf(stderr, "libSMT160.so saknar %s eller SMT160_LastError\n", function);
        return kExitUsage;
    }

    const float celsius = read(*address, *line);
    if (std::isnan(celsius)) {
        std::fprintf(stderr, "%s(%d, %d): ingen avläsning. %s\n", function, int(*address),
                     int(*line), lastError());
        return kExitNoReading;
    }
    std::printf("%.1f C\n", double(celsius));
    return kExitReading;
}
