#include "YearFileLock.h"

#include "YearFile.h"

#include <QFile>

#include <cerrno>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kLockPoll{20};

} // namespace

YearFileLocking lockYearFile(int fd, const QString &path, std::chrono::milliseconds wait)
{
    // Polled rather than blocking: a writer that never lets go must end in a
    // message, not in a logger that hangs.
    const auto giveUp = std::chrono::steady_clock::now() + wait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR)
            continue;
        if (err != EWOULDBLOCK || std::chrono::steady_clock::now() >= giveUp)
            return {YearFileLock::Failed,
                    QStringLiteral("Kan inte låsa %1: %2")
                        .arg(path, err == EWOULDBLOCK
                                       ? QStringLiteral("en annan skrivare håller filen")
                                       : errnoReason(err))};
        std::this_thread::sleep_for(kLockPoll);
    }
    struct stat held
    {
    }, named{};
    if (::fstat(fd, &held) != 0 || ::stat(QFile::encodeName(path).constData(), &named) != 0 ||
        held.st_ino != named.st_ino || held.st_dev != named.st_dev)
        return {YearFileLock::Replaced, {}};
    return {YearFileLock::Held, {}};
}
