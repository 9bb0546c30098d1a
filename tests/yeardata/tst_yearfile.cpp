#include "YearFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

namespace {

std::vector<DataRecord> records(int count)
{
    std::vector<DataRecord> out;
    for (int i = 0; i < count; ++i)
        out.push_back({38000 + i / 1440, float(i % 1440) / 1440, 990 + i % 50, float(i % 61) - 30});
    return out;
}

QByteArray encoded(const std::vector<DataRecord> &rs)
{
    std::vector<std::byte> bytes;
    for (const DataRecord &r : rs)
        encodeRecord(r, bytes);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestYearFile : public QObject
{
    Q_OBJECT

private slots:
    void readsWholeRecords_data();
    void readsWholeRecords();
    void leavesTheFileUnchanged();
    void createsMissingFileEmpty();
    void reportsWhatCannotBeOpened_data();
    void reportsWhatCannotBeOpened();
    void refusesOversizedFile();
};

void TestYearFile::readsWholeRecords_data()
{
    QTest::addColumn<int>("recordCount");
    QTest::addColumn<int>("trailingBytes");

    QTest::newRow("0 bytes") << 0 << 0;
    QTest::newRow("15 bytes") << 0 << 15;
    QTest::newRow("40 bytes") << 2 << 8;
    // More than one read chunk, with a remainder that must not become a record.
    QTest::newRow("20000 records and 7 bytes") << 20000 << 7;
}

void TestYearFile::readsWholeRecords()
{
    QFETCH(int, recordCount);
    QFETCH(int, trailingBytes);

    QTemporaryDir dir;
    const QString path = dir.filePath("T_2004.dat");
    const std::vector<DataRecord> expected = records(recordCount);
    writeFile(path, encoded(expected) + QByteArray(trailingBytes, '\x5a'));

    const YearFileRead read = readYearFile(path);
    QVERIFY2(read.ok, qPrintable(read.errorString));
    QCOMPARE(read.records.size(), expected.size());
    QVERIFY(read.records == expected);
}

void TestYearFile::leavesTheFileUnchanged()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("T_2004.dat");
    const QByteArray bytes = encoded(records(100)) + QByteArray("tail");
    writeFile(path, bytes);
    const QDateTime modified = QFileInfo(path).lastModified();

    QVERIFY(readYearFile(path).ok);
    QCOMPARE(contents(path), bytes);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
}

void TestYearFile::createsMissingFileEmpty()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("T_2031.dat");

    const YearFileRead read = readYearFile(path);
    QVERIFY2(read.ok, qPrintable(read.errorString));
    QVERIFY(read.records.empty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"T_2031.dat"});
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestYearFile::reportsWhatCannotBeOpened_data()
{
    QTest::addColumn<QString>("relativePath"); // inside a fresh temporary folder; "" = no name
    QTest::addColumn<bool>("isFolder");

    QTest::newRow("folder missing") << "no-such-folder/T_2004.dat" << false;
    QTest::newRow("empty name") << "" << false;
    QTest::newRow("a folder") << "T_2004.dat" << true;
}

void TestYearFile::reportsWhatCannotBeOpened()
{
    QFETCH(QString, relativePath);
    QFETCH(bool, isFolder);

    QTemporaryDir dir;
    const QString path = relativePath.isEmpty() ? QString() : dir.filePath(relativePath);
    if (isFolder)
        QVERIFY(QDir(dir.path()).mkdir(relativePath));

    const YearFileRead read = readYearFile(path);
    QVERIFY(!read.ok);
    QVERIFY(!read.errorString.isEmpty());
    QVERIFY(read.records.empty());
    QVERIFY(!QFileInfo(dir.filePath("no-such-folder")).exists());
}

void TestYearFile::refusesOversizedFile()
{
    // A sparse file: large on paper, costs no disk, and must not be loaded.
    QTemporaryDir dir;
    const QString path = dir.filePath("T_2004.dat");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (!file.resize((qint64(1) << 30) + 16))
        QSKIP("the file system cannot hold a sparse file");
    file.close();

    const YearFileRead read = readYearFile(path);
    QVERIFY(!read.ok);
    QVERIFY(read.records.empty());
    QCOMPARE(QFileInfo(path).size(), (qint64(1) << 30) + 16);
}

QTEST_APPLESS_MAIN(TestYearFile)
#include "tst_yearfile.moc"
