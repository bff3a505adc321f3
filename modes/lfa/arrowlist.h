#pragma once

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QString;
class QStringList;
class QWidget;

// A value list between a left and a right arrow, as the mode widgets lay out their controls.
struct ArrowList {
    QHBoxLayout* box = nullptr;
    QPushButton* left = nullptr;
    QComboBox* list = nullptr;
    QPushButton* right = nullptr;
};

// An arrow button, at most 22 x 22, with the icon of the resource path.
QPushButton* makeArrowButton(QWidget* parent, const QString& icon);
// Editable with a read-only line edit, every item centred, accent text.
QComboBox* makeValueList(QWidget* parent, const QStringList& items, int maxWidth);
// Box margins 0, 5, 0, 2, no spacing; centred between two stretches when asked.
ArrowList makeArrowList(QWidget* parent, const QStringList& items, int maxWidth, bool centred);

// The arrows' common stepping: one step in dir (-1, +1) selects the neighbour and returns false (the
// selection change runs the list's logic again with dir 0). Otherwise the arrows are enabled by the
// index and the list's own logic should go on: true.
bool stepList(const ArrowList& a, int dir);
