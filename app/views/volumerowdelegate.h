#pragma once
// A row of the sidebar's Devices list: the volume's icon and name, and under the name a caption
// in a smaller, quieter font (its free space).

#include <QStyledItemDelegate>

class VolumeRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int captionRole = Qt::UserRole + 10;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    static QFont captionFont(const QFont &font);
    static int lineHeight(const QFont &font, const QString &text);
};
