// libFuzzer target: any bytes as a year file on disk, read by the file reader.
#include "../../support/FuzzCheck.h"
#include "YearFile.h"

#include <QByteArray>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString scratchFile()
{
    char folder[] = "/tmp/fuzz_yearfile.XXXXXX";
    check(::mkdtemp(folder) != nullptr);
    return QString::fromLocal8Bit(folder) + QStringLiteral("/T_2026.dat");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = scratchFile();
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
              file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }
    const YearFileRead read = readYearFile(path);
    check(read.ok && read.records.size() == size / kRecordSize);
    return 0;
}
