#include "SiteFiles.h"

#include "YearFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace SiteFiles {

namespace {

// The file's bytes, when it is a regular file no larger than limit.
bool sameContent(const QByteArray &native, const QByteArray &bytes)
{
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == bytes.size();
    if (same) {
        QByteArray have(bytes.size(), Qt::Uninitialized);
        qsizetype got = 0;
        while (got < have.size()) {
            const ssize_t n = ::read(fd, have.data() + got, std::size_t(have.size() - got));
            if (n <= 0)
                break;
            got += n;
        }
        same = got == have.size() && have == bytes;
    }
    ::close(fd);
    return same;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

WriteResult failed(const QString &path, int err)
{
    return {Outcome::Failed, QStringLiteral("kan inte skriva %1: %2").arg(path, errnoReason(err))};
}

} // namespace

WriteResult replaceIfChanged(const QString &path, const QByteArray &bytes, int mode)
{
    const QByteArray native = QFile::encodeName(path);
    if (sameContent(native, bytes))
        return {};
    const QFileInfo info(path);
    QByteArray temp =
        QFile::encodeName(info.absolutePath() + QLatin1Char('/') + QLatin1String(kTempPrefix) +
                          info.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(path, errno);
    // Written to disk before the rename: after a power cut the name holds the
    // old page or the new one, never an empty file.
    const bool ok = ::fchmod(fd, mode_t(mode)) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    if (!ok || ::rename(temp.constData(), native.constData()) != 0) {
        const int why = ok ? errno : err;
        ::unlink(temp.constData());
        return failed(path, why);
    }
    return {Outcome::Written, {}};
}

bool isFile(const QString &path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

void removeLeftovers(const QString &folder)
{
    QDir dir(folder);
    const QStringList names = dir.entryList({QLatin1String(kTempPrefix) + QLatin1Char('*')},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        ::unlink(QFile::encodeName(dir.filePath(name)).constData());
}

} // namespace SiteFiles
