#include "DataTableModel.h"

#include "DataRow.h"

#include <algorithm>
#include <limits>
#include <utility>

DataTableModel::DataTableModel(QObject *parent) : QAbstractListModel(parent) {}

void DataTableModel::setRecords(std::vector<DataRecord> records)
{
    beginResetModel();
    m_records = std::move(records);
    endResetModel();
}

void DataTableModel::clear()
{
    beginResetModel();
    m_records = std::vector<DataRecord>(); // gives the memory back, not just the rows
    endResetModel();
}

void DataTableModel::setLocale(const QLocale &locale)
{
    if (locale == m_locale)
        return;
    m_locale = locale;
    if (!m_records.empty())
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
}

int DataTableModel::rowCount(const QModelIndex &parent) const
{
    // A list view counts rows in int; a file of more records than that cannot
    // be shown whole, so the table lists the first ones.
    if (parent.isValid())
        return 0;
    constexpr auto kMaxRows = std::size_t(std::numeric_limits<int>::max());
    return int(std::min(m_records.size(), kMaxRows));
}

QVariant DataTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return dataRow(m_records[std::size_t(index.row())], m_locale);
}
