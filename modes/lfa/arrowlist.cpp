#include "arrowlist.h"

#include "modes/lfa/plotstyle.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

QPushButton* makeArrowButton(QWidget* parent, const QString& icon)
{
    auto* b = new QPushButton(parent);
    b->setIcon(QIcon(icon));
    b->setMaximumSize(22, 22);
    return b;
}

QComboBox* makeValueList(QWidget* parent, const QStringList& items, int maxWidth)
{
    auto* list = new QComboBox(parent);
    list->setEditable(true);
    list->lineEdit()->setReadOnly(true);
    list->lineEdit()->setAlignment(Qt::AlignCenter);
    list->addItems(items);
    for (int i = 0; i < list->count(); ++i)
        list->setItemData(i, Qt::AlignCenter, Qt::TextAlignmentRole);
    list->setStyleSheet(PlotStyle::AccentSheet);
    list->setMaximumSize(maxWidth, 22);
    return list;
}

ArrowList makeArrowList(QWidget* parent, const QStringList& items, int maxWidth, bool centred)
{
    ArrowList a;
    a.box = new QHBoxLayout;
    a.box->setContentsMargins(0, 5, 0, 2);
    a.box->setSpacing(0);
    a.left = makeArrowButton(parent, ":/img/img_left.png");
    a.list = makeValueList(parent, items, maxWidth);
    a.right = makeArrowButton(parent, ":/img/img_right.png");
    if (centred)
        a.box->addStretch();
    a.box->addWidget(a.left);
    a.box->addWidget(a.list);
    a.box->addWidget(a.right);
    if (centred)
        a.box->addStretch();
    return a;
}

bool stepList(const ArrowList& a, int dir)
{
    const int index = a.list->currentIndex();
    const int last = a.list->count() - 1;
    if (dir == -1 && index > 0) {
        a.list->setCurrentIndex(index - 1);
        return false;
    }
    if (dir == 1 && index < last) {
        a.list->setCurrentIndex(index + 1);
        return false;
    }
    a.left->setEnabled(index != 0);
    a.right->setEnabled(index != last);
    return true;
}
