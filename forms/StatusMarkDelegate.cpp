#include "forms/StatusMarkDelegate.h"

#include <QPainter>

StatusMarkDelegate::StatusMarkDelegate(QList<QPixmap> pictures, QObject* parent)
    : QStyledItemDelegate(parent), m_pictures(std::move(pictures))
{
}

void StatusMarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    const QRect item = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(item, selected ? option.palette.highlight() : option.palette.base());

    const int picture = 2 * index.row() + 4;
    if (picture < m_pictures.size() && !m_pictures.at(picture).isNull()) {
        const QPixmap& source = m_pictures.at(picture);
        const QRect target(item.left(), item.top(), source.width() - 1, item.height());
        painter->fillRect(target, Qt::white);
        painter->drawPixmap(target, source, QRect(0, 0, 31, 31));
    }
    const int textLeft = item.left() + 32;
    painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
    painter->setFont(option.font);
    const QRect textArea(textLeft, item.top() + 8, item.right() - textLeft, item.height() - 8);
    painter->drawText(textArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      QLatin1Char(' ') + index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize StatusMarkDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(ItemHeight);
    size.setWidth(size.width() + 40);
    return size;
}
