#include "myitemdelegate.h"

#include <QBrush>

namespace
{
QColor foregroundOf(const QModelIndex& index)
{
    const QVariant v = index.data(Qt::ForegroundRole);
    if (v.userType() == QMetaType::QColor)
        return v.value<QColor>();
    // Table items keep their colour as a brush.
    if (v.canConvert<QColor>())
        return v.value<QColor>();
    return QColor();
}
} // namespace

void MyItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const
{
    QStyleOptionViewItem opt(option);
    const QColor c = foregroundOf(index);
    if (c.isValid() && c != opt.palette.color(QPalette::WindowText))
        opt.palette.setBrush(QPalette::HighlightedText, QBrush(c));
    QItemDelegate::paint(painter, opt, index);
}
