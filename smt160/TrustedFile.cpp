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

// The folders of an absolute path without links, from its own up to the root.
std::string untrustedFolders(std::string current)
{
    for (;;) {
        const std::size_t slash = current.rfind('/');
        if (slash == std::string::npos)
            return {};
        current = slash == 0 ? std::string("/") : current.substr(0, slash);
        struct stat st
        {
        };
        if (::stat(current.c_str(), &st) != 0)
            return current + ": " + std::generic_category().message(errno);
        if (std::string fault = faultOf(current, st, true); !fault.empty())
            return fault;
        if (current == "/")
            return {};
    }
}

} // namespace

std::string untrustedReason(const std::string &path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    if (!real)
        return path + ": " + std::generic_category().message(errno);
    struct stat st
    {
    };
    if (::stat(real.get(), &st) != 0)
        return std::string(real.get()) + ": " + std::generic_category().message(errno);
    if (std::string fault = faultOf(real.get(), st, false); !fault.empty())
        return fault;
    return untrustedFolders(real.get());
}

std::string untrustedReason(int fd, const std::string &realPath)
{
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0)
        return realPath + ": " + std::generic_category().message(errno);
    if (std::string fault = faultOf(realPath, st, false); !fault.empty())
        return fault;
    return untrustedFolders(realPath);
}

} // namespace smt160
