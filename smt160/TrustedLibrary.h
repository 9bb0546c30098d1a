#pragma once

#include <string>

// Loads a library of code only from a file that passed the trust check, and
// from that very file: it is opened once without following a link, checked on
// its descriptor and loaded through the descriptor, so neither a swap between
// the check and the load nor a loader's search of other folders (hardware
// subfolders such as haswell/ or glibc-hwcaps/) can bring in another file.
namespace smt160 {

struct TrustedLoad
{
    enum class Outcome { Loaded, Missing, Untrusted, NotLoadable };

    Outcome outcome = Outcome::Missing;
    void *handle = nullptr; // from dlopen when loaded; stays loaded for the run
    std::string detail;     // why not: the check's reason, or the loader's own words
};

TrustedLoad loadTrustedLibrary(const std::string &path);

} // namespace smt160
