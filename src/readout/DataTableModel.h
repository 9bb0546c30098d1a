#pragma once

#include "DataRecord.h"

#include <QAbstractListModel>
#include <QLocale>

#include <vector>

// The data table's rows: keeps the decoded records and formats a row only
// when a view asks for it, so a year of one-minute samples stays cheap.
// Views over it should set uniform item sizes, or they measure every row.
class DataTableModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit DataTableModel(QObject *parent = nullptr);

    void setRecords(std::vector<DataRecord> records);
    void clear();
    const std::vector<DataRecord> &records() const { return m_records; }

    // The rows follow the user's locale unless told otherwise.
    void setLocale(const QLocale &locale);
    QLocale locale() const { return m_locale; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    std::vector<DataRecord> m_records;
    QLocale m_locale;
};
