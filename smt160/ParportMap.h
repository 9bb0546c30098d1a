#pragma once

#include <optional>
#include <string>
#include <vector>

namespace smt160 {

struct ParportMatch
{
    int index = 0; // N of /dev/parportN
    int base = 0;  // the port's base (data register) address
    int statusAddress() const { return base + 1; }
};

// Every parallel port in procRoot (parportN/base-addr, "base<TAB>base_hi" in decimal).
std::vector<ParportMatch> listParports(const std::string &procRoot);

// Finds the parallel port an address belongs to: the address is either the
// status register (base + 1, as the program passes 889 for a port at 888) or
// the base itself. A status-register match wins. Reads
// <procRoot>/parportN/base-addr, which holds "base<TAB>base_hi" in decimal.
std::optional<ParportMatch> findParport(const std::string &procRoot, int address);

} // namespace smt160
