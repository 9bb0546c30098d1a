#include "OutputFile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kNewFileMode = 0666; // narrowed by the umask
constexpr int kNameTries = 100;

} // namespace

OutputFile::OutputFile(QString path) : m_path(std::move(path)) {}

OutputFile::~OutputFile()
{
    discard();
    if (m_folder >= 0)
        ::close(m_folder);
}

bool OutputFile::open()
{
    const QFileInfo info(m_path);
    m_error = QStringLiteral("kan inte skriva %1").arg(m_path);
    m_name = QFile::encodeName(info.fileName());
    m_folder = ::open(QFile::encodeName(info.absolutePath()).constData(),
                      O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_name.isEmpty() || m_folder < 0)
        return false;
    struct stat st
    {
    };
    const bool exists = ::fstatat(m_folder, m_name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        m_error = QStringLiteral("%1 är en symbolisk länk; kalvik-export skriver inte genom "
                                 "den")
                      .arg(m_path);
        return false;
    }
    for (int i = 0; i < kNameTries; ++i) {
        const QByteArray temp =
            '.' + m_name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::openat(m_folder, temp.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        m_tempName = temp;
        if (exists && S_ISREG(st.st_mode)) // a replaced output keeps its permissions
            ::fchmod(fd, st.st_mode & 0777);
        if (!m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return false;
        }
        m_error.clear();
        return true;
    }
    return false;
}

bool OutputFile::commit()
{
    m_error = QStringLiteral("kan inte skriva %1").arg(m_path);
    if (m_tempName.isEmpty() || !m_file.flush() || ::fsync(m_file.handle()) != 0)
        return false;
    m_file.close();
    if (::renameat(m_folder, m_tempName.constData(), m_folder, m_name.constData()) != 0)
        return false;
    m_tempName.clear();
    ::fsync(m_folder); // the new name survives a power cut too
    m_error.clear();
    return true;
}

void OutputFile::discard()
{
    m_file.close();
    if (!m_tempName.isEmpty() && m_folder >= 0)
        ::unlinkat(m_folder, m_tempName.constData(), 0);
    m_tempName.clear();
}
