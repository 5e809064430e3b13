#include "volumerowdelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {
constexpr int padding = 3;
constexpr int gap = 6;
}

QFont VolumeRowDelegate::captionFont(const QFont &font)
{
    QFont caption = font;
    caption.setPointSizeF(font.pointSizeF() * 0.85);
    return caption;
}

// A name or caption in another script is drawn in a fallback font, which may be taller than the
// row's own.
int VolumeRowDelegate::lineHeight(const QFont &font, const QString &text)
{
    const QFontMetrics metrics(font);
    return std::max(metrics.height(), metrics.boundingRect(text).height());
}

QSize VolumeRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const int lines = lineHeight(option.font, index.data(Qt::DisplayRole).toString())
        + lineHeight(captionFont(option.font), index.data(captionRole).toString());
    size.setHeight(std::max(size.height(), lines + 2 * padding));
    return size;
}

void VolumeRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, opt.widget);

    const QRect area = opt.rect.adjusted(padding + 1, padding, -padding, -padding);
    const QSize iconSize = opt.decorationSize;
    const QRect iconRect(area.left(), area.top() + (area.height() - iconSize.height()) / 2, iconSize.width(), iconSize.height());
    opt.icon.paint(painter, iconRect, Qt::AlignCenter, opt.state & QStyle::State_Enabled ? QIcon::Normal : QIcon::Disabled);

    const QRect text = area.adjusted(iconSize.width() + gap, 0, 0, 0);
    const QFont caption = captionFont(opt.font);
    const int nameHeight = lineHeight(opt.font, opt.text);
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect nameRect(text.left(), text.top(), text.width(), nameHeight);
    painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(opt.font).elidedText(opt.text, Qt::ElideMiddle, text.width()));
    painter->setFont(caption);
    painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::PlaceholderText));
    const QRect captionRect(text.left(), nameRect.bottom() + 1, text.width(), text.bottom() - nameRect.bottom());
    painter->drawText(captionRect, Qt::AlignLeft | Qt::AlignTop,
                      QFontMetrics(caption).elidedText(index.data(captionRole).toString(), Qt::ElideRight, text.width()));
    painter->restore();
}
