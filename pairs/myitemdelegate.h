#pragma once

#include <QItemDelegate>

// Keeps a cell's own text colour when the cell is selected, instead of the palette's
// highlighted-text colour, so pair states stay readable on the selection background.
class MyItemDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit MyItemDelegate(QObject* parent = nullptr) : QItemDelegate(parent) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
