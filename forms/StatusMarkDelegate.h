#pragma once

#include <QList>
#include <QPixmap>
#include <QStyledItemDelegate>

// Draws the status-mark list of the absence panel: item i shows the status picture of the
// absent state of mark i (picture 2i + 4) on white at its left, then the mark's name.
class StatusMarkDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusMarkDelegate)

public:
    static constexpr int ItemHeight = 32;

    StatusMarkDelegate(QList<QPixmap> pictures, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QList<QPixmap> m_pictures;
};
