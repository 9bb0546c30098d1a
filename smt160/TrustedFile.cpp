#include "TrustedFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace smt160 {

namespace {

std::string faultOf(const std::string &path, const struct stat &st, bool folder)
{
    const uid_t self = ::geteuid();
    const std::string what = (folder ? "mappen " : "filen ") + path;
    if (st.st_uid != 0 && st.st_uid != self)
        return what + " ägs av en annan användare (uid " + std::to_string(st.st_uid) + ")";
    const bool othersWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    if (othersWrite && !(folder && (st.st_mode & S_ISVTX)))
        return what + " är skrivbar för andra än ägaren" +
               (folder ? " (och saknar sticky-biten)" : "");
    if (!folder && !S_ISREG(st.st_mode))
        return what + " är ingen vanlig fil";
    return {};
}

} // namespace

std::string untrustedReason(const std::string &path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    if (!real)
        return path + ": " + std::generic_category().message(errno);
    std::string current = real.get();
    bool folder = false;
    for (;;) {
        struct stat st
        {
        };
        if (::stat(current.c_str(), &st) != 0)
            return current + ": " + std::generic_category().message(errno);
        if (std::string fault = faultOf(current, st, folder); !fault.empty())
            return fault;
        if (current == "/")
            return {};
        const std::size_t slash = current.rfind('/');
        current = slash == 0 ? std::string("/") : current.substr(0, slash);
        folder = true;
    }
}

} // namespace smt160
