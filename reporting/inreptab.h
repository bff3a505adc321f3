#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

class QPushButton;

// One report file in a cell of a report page: thumbnail, name, date and a delete button that shows
// only while the tile is selected. The tile deletes nothing itself; it hands its path back.
class InRepTab : public QWidget
{
    Q_OBJECT
public:
    InRepTab(int tab, QPixmap pixmap, QString path, QString name, QString date, int size,
             QWidget* parent = nullptr);

    void setSelected(bool on);
    bool selected() const { return m_selected; }
    QString path() const { return m_path; }
    QPushButton* deleteButton() const { return m_delete; }

signals:
    void repDelSig(int tab, QString path);

private:
    QPushButton* m_delete = nullptr;
    QString m_path;
    int m_tab = 0;
    bool m_selected = false;
};
