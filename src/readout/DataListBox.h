#pragma once

#include <QAbstractScrollArea>
#include <QPointer>

class QAbstractItemModel;

// A list box of text rows over a model: rows of one height, scrolled a whole
// row at a time, with the top visible row set by number. Only the rows in
// view are asked for, so a year of minute samples is as cheap as a day.
// A QListView, even with uniform item sizes, lays out every row at each reset:
// seconds and a quarter of a gigabyte for a year of one-second samples.
class DataListBox : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit DataListBox(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model);
    QAbstractItemModel *model() const { return m_model; }

    int listCount() const;
    int topIndex() const;
    // Makes row the top visible row, or scrolls as far towards it as it can.
    void setTopIndex(int row);
    // The last rows are in view: the list cannot scroll further down.
    bool isScrolledToEnd() const;
    int visibleRows() const;
    int rowHeight() const;

    int currentRow() const { return m_current; }
    void setCurrentRow(int row);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void updateScrollRange();

    QPointer<QAbstractItemModel> m_model;
    int m_current = -1;
};
