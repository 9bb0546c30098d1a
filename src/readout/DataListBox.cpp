#include "DataListBox.h"

#include "DataListBoxAccessible.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int kTextMargin = 2;
}

DataListBox::DataListBox(QWidget *parent) : QAbstractScrollArea(parent)
{
    static const bool accessible = [] {
        QAccessible::installFactory(&DataListBoxAccessible::factory);
        return true;
    }();
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setSingleStep(1);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
}

void DataListBox::setModel(QAbstractItemModel *model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    auto refresh = [this] {
        m_current = -1;
        if (QAccessible::isActive())
            static_cast<DataListBoxAccessible *>(QAccessible::queryAccessibleInterface(this))
                ->forgetRows();
        updateScrollRange();
        viewport()->update();
    };
    if (m_model) {
        connect(m_model, &QAbstractItemModel::modelReset, this, refresh);
        // Rows appended: those shown and the one chosen keep their numbers.
        connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
            updateScrollRange();
            viewport()->update();
        });
        connect(m_model, &QAbstractItemModel::rowsRemoved, this, refresh);
        connect(m_model, &QAbstractItemModel::dataChanged, viewport(),
                qOverload<>(&QWidget::update));
    }
    refresh();
}

int DataListBox::listCount() const
{
    return m_model ? m_model->rowCount() : 0;
}

int DataListBox::rowHeight() const
{
    return std::max(1, fontMetrics().height());
}

int DataListBox::visibleRows() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

int DataListBox::topIndex() const
{
    return verticalScrollBar()->value();
}

void DataListBox::setTopIndex(int row)
{
    verticalScrollBar()->setValue(row);
}

bool DataListBox::isScrolledToEnd() const
{
    return topIndex() >= verticalScrollBar()->maximum();
}

void DataListBox::setCurrentRow(int row)
{
    if (row < 0 || row >= listCount())
        return;
    m_current = row;
    if (row < topIndex())
        setTopIndex(row);
    else if (row >= topIndex() + visibleRows())
        setTopIndex(row - visibleRows() + 1);
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent selection(this, QAccessible::Selection);
        selection.setChild(row);
        QAccessible::updateAccessibility(&selection);
        if (hasFocus()) {
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(row);
            QAccessible::updateAccessibility(&focus);
        }
    }
}

void DataListBox::updateScrollRange()
{
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, std::max(0, listCount() - visibleRows()));
    bar->setPageStep(visibleRows());
}

void DataListBox::paintEvent(QPaintEvent *)
{
    if (!m_model)
        return;
    QPainter painter(viewport());
    const int height = rowHeight();
    const int first = topIndex();
    const int last = std::min(listCount(), first + visibleRows() + 1);
    const int width = viewport()->width();
    for (int row = first; row < last; ++row) {
        const QRect rect(0, (row - first) * height, width, height);
        const bool current = row == m_current;
        if (current)
            painter.fillRect(rect, palette().brush(QPalette::Highlight));
        painter.setPen(palette().color(current ? QPalette::HighlightedText : QPalette::Text));
        const QString text = m_model->index(row, 0).data(Qt::DisplayRole).toString();
        painter.drawText(rect.adjusted(kTextMargin, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
}

bool DataListBox::event(QEvent *event)
{
    const bool handled = QAbstractScrollArea::event(event);
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::FontChange:
        // The rows that fit have changed, and with them the last top row.
        updateScrollRange();
        return handled;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        // The table lies on the diagram: what the pointer does in it (rows,
        // scroll bar, edges) is the table's and never reaches the diagram.
        event->accept();
        return true;
    default:
        return handled;
    }
}

void DataListBox::mousePressEvent(QMouseEvent *event)
{
    const int row = topIndex() + int(event->position().y()) / rowHeight();
    setCurrentRow(row);
}

void DataListBox::keyPressEvent(QKeyEvent *event)
{
    const int page = visibleRows();
    int row = m_current < 0 ? topIndex() : m_current;
    switch (event->key()) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_PageUp:
        row -= page;
        break;
    case Qt::Key_PageDown:
        row += page;
        break;
    case Qt::Key_Home:
        row = 0;
        break;
    case Qt::Key_End:
        row = listCount() - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    setCurrentRow(std::clamp(row, 0, std::max(0, listCount() - 1)));
}
