#include "HelperClient.h"

#include "PortSampleSource.h"
#include "RawPortHelper.h"
#include "ReasonText.h"
#include "TrustedFile.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace smt160 {

namespace {

constexpr std::size_t kMaxOutput = 1024;
constexpr std::int64_t kExitPollNs = 1'000'000;

struct Fd
{
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

int msUntil(std::int64_t deadlineNs)
{
    const std::int64_t left = deadlineNs - monotonicNowNs();
    return left <= 0 ? 0 : int((left + 999'999) / 1'000'000);
}

// Reads the child's output until it closes it or the deadline passes.
bool readOutput(int fd, std::int64_t deadlineNs, std::string &output)
{
    for (;;) {
        pollfd p{.fd = fd, .events = POLLIN, .revents = 0};
        const int ready = ::poll(&p, 1, msUntil(deadlineNs));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char buf[256];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return true;
        if (output.size() < kMaxOutput)
            output.append(buf, std::size_t(n));
    }
}

// How the child ended: its wait status, or nothing when it had to be killed
// at the deadline or the host program reaped it first.
struct Ending
{
    std::optional<int> status;
    bool killed = false;
};

Ending reap(pid_t pid, std::int64_t deadlineNs)
{
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return {.status = status, .killed = false};
        if (done < 0 && errno != EINTR)
            return {};
        if (monotonicNowNs() >= deadlineNs)
            break;
        const timespec pause{.tv_sec = 0, .tv_nsec = kExitPollNs};
        ::nanosleep(&pause, nullptr);
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {.status = std::nullopt, .killed = true};
}

} // namespace

Reading readingFromHelper(const std::string &helperPath, int waitStatus, std::string_view output)
{
    if (!WIFEXITED(waitStatus))
        return noReading("Givarhjälpen " + helperPath + " avbröts");
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.remove_suffix(1);
    switch (WEXITSTATUS(waitStatus)) {
    case kHelperReading: {
        float celsius = 0.0f;
        const auto [end, ec] =
            std::from_chars(output.data(), output.data() + output.size(), celsius);
        if (ec == std::errc() && end == output.data() + output.size() && std::isfinite(celsius))
            return {.celsius = celsius, .reason = {}};
        break;
    }
    case kHelperNoReading:
        if (!output.empty() && output.find('\n') == std::string_view::npos)
            return noReading(std::string(output));
        break;
    default:
        break;
    }
    return noReading("Givarhjälpen " + helperPath + " svarade inte som väntat");
}

Reading readThroughHelper(const std::string &helperPath, int address, std::int32_t argument,
                          std::int64_t deadlineNs)
{
    if (helperPath.empty())
        return noReading("Givarhjälpen smt160-rawport hittades inte");
    if (::access(helperPath.c_str(), F_OK) != 0)
        return noReading("Direkt portåtkomst går genom givarhjälpen " + helperPath +
                         ", som saknas");
    if (std::string why = untrustedReason(helperPath); !why.empty())
        return noReading("Givarhjälpen " + helperPath + " körs inte: " + why);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return noReading("Givarhjälpen kunde inte startas: " + errnoText(errno));
    Fd readEnd{pipeFds[0]};
    Fd writeEnd{pipeFds[1]};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::string addressArg = std::to_string(address);
    std::string lineArg = std::to_string(argument);
    char *const argv[] = {const_cast<char *>(helperPath.c_str()), addressArg.data(), lineArg.data(),
                          nullptr};
    char *const envp[] = {nullptr};
    pid_t pid = 0;
    const int err = ::posix_spawn(&pid, helperPath.c_str(), &actions, &attr, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (err != 0)
        return noReading("Givarhjälpen " + helperPath + " kunde inte startas: " + errnoText(err));
    ::close(writeEnd.fd);
    writeEnd.fd = -1;

    std::string output;
    const bool complete = readOutput(readEnd.fd, deadlineNs, output);
    const Ending ending = reap(pid, complete ? deadlineNs : 0);
    if (ending.killed)
        return noReading("Givarhjälpen " + helperPath + " svarade inte i tid och avbröts");
    if (!ending.status)
        return noReading("Givarhjälpen " + helperPath + " avslutades utan att ge besked");
    return readingFromHelper(helperPath, *ending.status, output);
}

} // namespace smt160
