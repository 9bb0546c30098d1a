#include "TrustedLibrary.h"

#include "TrustedFile.h"

#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace smt160 {

namespace {

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

std::string descriptorPath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

// The dynamic loader takes a name it has loaded before as that library again:
// a descriptor number used by an earlier load must not be reused for this one.
// (The same file already loaded under another name is this file: that is fine.)
bool freshName(Descriptor &file)
{
    constexpr int kTries = 64;
    for (int i = 0; i < kTries; ++i) {
        const std::string name = descriptorPath(file.get());
        void *earlier = ::dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        if (!earlier)
            return true;
        struct link_map *map = nullptr;
        const bool sameName =
            ::dlinfo(earlier, RTLD_DI_LINKMAP, &map) == 0 && map && name == map->l_name;
        ::dlclose(earlier);
        if (!sameName)
            return true;
        const int higher = ::fcntl(file.get(), F_DUPFD_CLOEXEC, file.get() + 1);
        if (higher < 0)
            return false;
        file.reset(higher);
    }
    return false;
}

} // namespace

TrustedLoad loadTrustedLibrary(const std::string &path)
{
    TrustedLoad load;
    // A link is resolved here, once: what is opened, checked and loaded is the
    // file at the end, never a name that could be pointed elsewhere meanwhile.
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) {
        if (errno != ENOENT) {
            load.outcome = TrustedLoad::Outcome::Untrusted;
            load.detail = path + ": " + std::generic_category().message(errno);
        }
        return load;
    }
    const std::string real = resolved.get();
    // O_NONBLOCK: a FIFO planted under the name must not hold the program up.
    Descriptor file(::open(real.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        load.outcome = TrustedLoad::Outcome::Untrusted;
        load.detail = real + ": " + std::generic_category().message(errno);
        return load;
    }
    load.detail = untrustedReason(file.get(), real);
    if (!load.detail.empty()) {
        load.outcome = TrustedLoad::Outcome::Untrusted;
        return load;
    }
    if (!freshName(file)) {
        load.outcome = TrustedLoad::Outcome::NotLoadable;
        load.detail = "no free descriptor name";
        return load;
    }
    load.handle = ::dlopen(descriptorPath(file.get()).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!load.handle) {
        load.outcome = TrustedLoad::Outcome::NotLoadable;
        const char *why = ::dlerror();
        load.detail = why ? why : "";
        return load;
    }
    load.outcome = TrustedLoad::Outcome::Loaded;
    return load;
}

} // namespace smt160
