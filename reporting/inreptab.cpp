#include "inreptab.h"

#include "shell/sharedicon.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

InRepTab::InRepTab(int tab, QPixmap pixmap, QString path, QString name, QString date, int size,
                   QWidget* parent)
    : QWidget(parent), m_path(std::move(path)), m_tab(tab)
{
    auto* layout = new QVBoxLayout(this);
    layout->setMargin(0);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* picture = new QLabel;
    picture->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    picture->resize(size, size);
    picture->setPixmap(pixmap);
    layout->addWidget(picture);

    auto* nameLabel = new QLabel(name);
    nameLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    nameLabel->setMaximumSize(size, 20);
    nameLabel->setStyleSheet("font: bold; color: rgb(255,255,255); font-size:11px;");
    layout->addWidget(nameLabel);

    auto* dateLabel = new QLabel(date);
    dateLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    dateLabel->setMaximumSize(size, 20);
    dateLabel->setStyleSheet("color: rgb(140,210,255); font-size:11px;");
    layout->addWidget(dateLabel);

    // Over the picture's top right corner, outside the layout.
    m_delete = new QPushButton(this);
    m_delete->setIcon(sharedIcon(":/img/Delete.png"));
    m_delete->setText(QString());
    m_delete->setMinimumSize(24, 24);
    m_delete->setMaximumSize(24, 24);
    m_delete->setFlat(true);
    m_delete->setGeometry(size - 24, 0, 24, 24);
    m_delete->show();
    m_delete->setVisible(false);

    connect(m_delete, &QPushButton::clicked, this, [this] { emit repDelSig(m_tab, m_path); });
}

void InRepTab::setSelected(bool on)
{
    m_selected = on;
    m_delete->setVisible(on);
}
