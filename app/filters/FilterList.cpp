#include "app/filters/FilterList.h"

#include <QApplication>
#include <QMouseEvent>

FilterList::FilterList(int rowHeight, int pictureSize, QWidget* parent) : QListWidget(parent), m_rowHeight(rowHeight)
{
    setIconSize(QSize(pictureSize, pictureSize));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFrameShape(QFrame::Box);
    hide();
    connect(this, &QListWidget::itemChanged, this, [this] {
        if (!m_filling)
            emit TickToggled();
    });
    qApp->installEventFilter(this);
}

FilterList::~FilterList()
{
    qApp->removeEventFilter(this);
}

void FilterList::SetChoices(const QList<Choice>& choices)
{
    m_filling = true;
    clear();
    for (const Choice& choice : choices) {
        auto* item = new QListWidgetItem(QIcon(choice.picture), QLatin1Char(' ') + choice.text, this);
        item->setSizeHint(QSize(0, m_rowHeight));
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (choice.tickable)
            flags |= Qt::ItemIsUserCheckable;
        item->setFlags(flags);
        item->setCheckState(choice.ticked && choice.tickable ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
}

QList<int> FilterList::TickedRows() const
{
    QList<int> rows;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->checkState() == Qt::Checked)
            rows.append(row);
    }
    return rows;
}

void FilterList::Toggle(int maxHeight)
{
    if (isVisible()) {
        hide();
        return;
    }
    setMaximumHeight(maxHeight);
    resize(width(), qMin(maxHeight, (count() + 1) * m_rowHeight));
    raise();
    show();
    if (count() > 0)
        setCurrentRow(0);
    setFocus();
}

bool FilterList::eventFilter(QObject* watched, QEvent* event)
{
    if (m_swallowRelease && event->type() == QEvent::MouseButtonRelease) {
        m_swallowRelease = false;
        return true;
    }
    if (isVisible() && event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget != this && !isAncestorOf(widget) && widget->window() == window()) {
            // The click that closes the list is spent on closing it, its release included.
            hide();
            m_swallowRelease = true;
            return true;
        }
    }
    return QListWidget::eventFilter(watched, event);
}

void FilterList::focusOutEvent(QFocusEvent* event)
{
    QListWidget::focusOutEvent(event);
    // A menu or a tool tip of the list's own takes the focus only for a moment.
    if (event->reason() != Qt::PopupFocusReason)
        hide();
}
