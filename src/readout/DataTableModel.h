#pragma once

#include "DataRecord.h"

#include <QAbstractListModel>
#include <QLocale>

#include <vector>

// The data table's rows: one per record of a year file. The model keeps only
// the file's name and its row count from the last refill, and reads and
// formats a row when a view asks for it, so a year of one-second samples costs
// no more memory than a day. A file shortened or replaced since shows the rows
// it still holds and empty rows after them.
// Views over it should set uniform item sizes, or they measure every row.
class DataTableModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit DataTableModel(QObject *parent = nullptr);

    void setFile(const QString &path, qint64 records);
    // The same file with records appended: the new rows are inserted after the
    // others, which stay (fewer records than rows start the table afresh).
    void addRecords(qint64 records);
    void clear();
    QString fileName() const { return m_path; }

    // The rows follow the user's locale unless told otherwise.
    void setLocale(const QLocale &locale);
    QLocale locale() const { return m_locale; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    // The record of row, read with its neighbours on a miss; null when the file no longer has it.
    const DataRecord *record(int row) const;

    QString m_path;
    int m_rows = 0;
    QLocale m_locale;
    mutable std::vector<DataRecord> m_block;
    mutable qint64 m_blockFirst = -1;
};
