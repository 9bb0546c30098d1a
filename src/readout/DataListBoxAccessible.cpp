#include "DataListBoxAccessible.h"

#include "DataListBox.h"

#include <QAbstractItemModel>

namespace {

class DataRowAccessible : public QAccessibleInterface
{
public:
    DataRowAccessible(DataListBox *box, int row) : m_box(box), m_row(row) {}

    bool isValid() const override { return m_box && m_row < m_box->listCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return parent()->window(); }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_box);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return {};
        return m_box->model()->index(m_row, 0).data(Qt::DisplayRole).toString();
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QWidget *view = m_box->viewport();
        const QRect local(0, (m_row - m_box->topIndex()) * m_box->rowHeight(), view->width(),
                          m_box->rowHeight());
        return QRect(view->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        s.focusable = true;
        const bool current = isValid() && m_box->currentRow() == m_row;
        s.selected = current;
        s.focused = current && m_box->hasFocus();
        const int top = m_box->topIndex();
        s.invisible = m_row < top || m_row >= top + m_box->visibleRows() || !m_box->isVisible();
        return s;
    }

private:
    QPointer<DataListBox> m_box;
    int m_row;
};

} // namespace

DataListBoxAccessible::DataListBoxAccessible(DataListBox *box)
    : QAccessibleWidget(box, QAccessible::List)
{}

DataListBoxAccessible::~DataListBoxAccessible()
{
    forgetRows();
}

QAccessibleInterface *DataListBoxAccessible::factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("DataListBox") && object && object->isWidgetType())
        return new DataListBoxAccessible(static_cast<DataListBox *>(object));
    return nullptr;
}

DataListBox *DataListBoxAccessible::box() const
{
    return static_cast<DataListBox *>(widget());
}

void DataListBoxAccessible::forgetRows()
{
    for (const auto &[row, id] : m_rows)
        QAccessible::deleteAccessibleInterface(id);
    m_rows.clear();
}

int DataListBoxAccessible::childCount() const
{
    return box()->listCount();
}

QAccessibleInterface *DataListBoxAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto found = m_rows.find(index); found != m_rows.end())
        return QAccessible::accessibleInterface(found->second);
    auto *row = new DataRowAccessible(box(), index);
    m_rows.emplace(index, QAccessible::registerAccessibleInterface(row));
    return row;
}

int DataListBoxAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child));
    for (const auto &[row, rowId] : m_rows)
        if (rowId == id)
            return row;
    return -1;
}

QAccessibleInterface *DataListBoxAccessible::focusChild() const
{
    return box()->hasFocus() && box()->currentRow() >= 0 ? child(box()->currentRow()) : nullptr;
}
