#pragma once

#include <QAccessibleWidget>

#include <unordered_map>

class DataListBox;

// What a screen reader sees of the data table: a list whose rows are its
// children, the current row selected and, in a focused table, focused; moving
// the current row sends the focus to it, which a screen reader reads out. Row interfaces are made
// when asked for, so a year of minute samples costs nothing until read.
class DataListBoxAccessible : public QAccessibleWidget
{
public:
    explicit DataListBoxAccessible(DataListBox *box);
    ~DataListBoxAccessible() override;

    static QAccessibleInterface *factory(const QString &className, QObject *object);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *focusChild() const override;

    DataListBox *box() const;
    // Forgets the row interfaces, for a table filled anew.
    void forgetRows();

private:
    mutable std::unordered_map<int, QAccessible::Id> m_rows;
};
