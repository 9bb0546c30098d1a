#include "DataTableModel.h"

#include "DataRow.h"
#include "YearFile.h"

#include <algorithm>
#include <limits>

namespace {

// Rows read from the file at a time: a screenful and then some, in one read.
constexpr qint64 kBlockRows = 256;

} // namespace

DataTableModel::DataTableModel(QObject *parent) : QAbstractListModel(parent) {}

void DataTableModel::setFile(const QString &path, qint64 records)
{
    beginResetModel();
    m_path = path;
    // A list view counts rows in int; a file of more records than that cannot
    // be shown whole, so the table lists the first ones.
    m_rows = int(std::clamp<qint64>(records, 0, std::numeric_limits<int>::max()));
    m_block.clear();
    m_blockFirst = -1;
    endResetModel();
}

void DataTableModel::addRecords(qint64 records)
{
    const int rows = int(std::clamp<qint64>(records, 0, std::numeric_limits<int>::max()));
    if (rows < m_rows) {
        setFile(m_path, records);
        return;
    }
    if (rows == m_rows)
        return;
    beginInsertRows(QModelIndex(), m_rows, rows - 1);
    // A short block was read at the end of the file and misses the new rows.
    if (m_blockFirst >= 0 && m_block.size() < std::size_t(kBlockRows)) {
        m_block.clear();
        m_blockFirst = -1;
    }
    m_rows = rows;
    endInsertRows();
}

void DataTableModel::clear()
{
    setFile(QString(), 0);
}

void DataTableModel::setLocale(const QLocale &locale)
{
    if (locale == m_locale)
        return;
    m_locale = locale;
    if (m_rows > 0)
        emit dataChanged(index(0), index(m_rows - 1), {Qt::DisplayRole});
}

int DataTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

const DataRecord *DataTableModel::record(int row) const
{
    const qint64 first = row / kBlockRows * kBlockRows;
    if (first != m_blockFirst) {
        m_block.resize(std::size_t(std::min<qint64>(kBlockRows, m_rows - first)));
        m_block.resize(readRecordsAt(m_path, first, m_block));
        m_blockFirst = first;
    }
    const auto at = std::size_t(row - first);
    return at < m_block.size() ? &m_block[at] : nullptr;
}

QVariant DataTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows)
        return {};
    const DataRecord *r = record(index.row());
    return r ? dataRow(*r, m_locale) : QString();
}
