#pragma once

// Which texts of a window do not fit the room they have: labels, buttons, check boxes, combo box
// items, header sections, group titles and one-line text fields. Only widgets visible in the window
// count, so a caller shows each tab (or frame) in turn. Works in any language: it measures what the
// widgets show now.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTableWidget>
#include <QTextDocument>

#include <cmath>

namespace TextFit
{

inline QString describe(const QWidget* w, const QString& text, int needed, int room)
{
    return QStringLiteral("%1 %2 \"%3\": needs %4, has %5")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text)
        .arg(needed)
        .arg(room);
}

inline int textWidth(const QFontMetrics& fm, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, fm.horizontalAdvance(line));
    return widest;
}

inline void checkLabel(const QLabel* l, QStringList& out)
{
    if (l->text().isEmpty() || (l->pixmap(Qt::ReturnByValue).isNull() == false))
        return;
    const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    QString shown = l->text();
    int width = 0;
    int height = 0;
    if (l->textFormat() == Qt::RichText || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(shown))) {
        QTextDocument doc;
        doc.setDefaultFont(l->font());
        doc.setHtml(shown);
        doc.setDocumentMargin(0);
        shown = doc.toPlainText();
        width = int(std::ceil(doc.idealWidth()));
        height = int(std::ceil(doc.size().height()));
    } else {
        width = textWidth(l->fontMetrics(), shown);
        height = l->fontMetrics().height() * (shown.count(QLatin1Char('\n')) + 1);
    }
    if (l->wordWrap()) {
        const int needed = l->heightForWidth(l->width());
        if (needed > l->height())
            out << describe(l, shown, needed, l->height()) + " (height)";
        return;
    }
    if (width > room.width())
        out << describe(l, shown, width, room.width());
    else if (height > room.height())
        out << describe(l, shown, height, room.height()) + " (height)";
}

inline void checkButton(const QAbstractButton* b, QStringList& out)
{
    if (b->text().isEmpty())
        return;
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    // The room the style leaves for icon and text inside the button's bevel or beside its indicator.
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(b))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(b))
        contents = QStyle::SE_RadioButtonContents;
    const int room = b->style()->subElementRect(contents, &opt, b).width();
    const int iconWidth = opt.icon.isNull() ? 0 : opt.iconSize.width() + 4;
    const int needed = b->fontMetrics().horizontalAdvance(opt.text) + iconWidth;
    if (needed > room)
        out << describe(b, b->text(), needed, room);
}

inline void checkCombo(const QComboBox* c, QStringList& out)
{
    const QFontMetrics fm = c->fontMetrics();
    for (int i = 0; i < c->count(); ++i) {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        opt.currentText = c->itemText(i);
        opt.currentIcon = c->itemIcon(i);
        opt.iconSize = c->iconSize();
        const int iconWidth = opt.currentIcon.isNull() ? 0 : c->iconSize().width() + 4;
        const int needed = fm.horizontalAdvance(opt.currentText) + iconWidth;
        const int room =
            c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c).width();
        if (needed > room)
            out << describe(c, opt.currentText, needed, room);
    }
}

inline void checkHeader(const QHeaderView* h, QStringList& out)
{
    if (!h->isVisible() || !h->model())
        return;
    for (int i = 0; i < h->count(); ++i) {
        if (h->isSectionHidden(i))
            continue;
        const QString text = h->model()->headerData(i, h->orientation(), Qt::DisplayRole).toString();
        if (text.isEmpty())
            continue;
        QStyleOptionHeader opt;
        opt.initFrom(h);
        opt.section = i;
        opt.text = text;
        opt.orientation = h->orientation();
        opt.fontMetrics = h->fontMetrics();
        const QSize needed = h->style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), h);
        const int room = h->sectionSize(i);
        const int want = h->orientation() == Qt::Horizontal ? needed.width() : needed.height();
        if (want > room)
            out << describe(h, text, want, room);
    }
}

inline void checkGroupTitle(const QGroupBox* g, QStringList& out)
{
    if (g->title().isEmpty())
        return;
    QStyleOptionGroupBox opt;
    opt.initFrom(g);
    opt.text = g->title();
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    opt.textAlignment = g->alignment();
    const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
    const int needed = label.left() + g->fontMetrics().horizontalAdvance(g->title());
    if (needed > g->width() || label.right() >= g->width())
        out << describe(g, g->title(), qMax(needed, label.right() + 1), g->width());
}

// One line of text must fit the field's height: its glyphs' bottom may not be cut off.
inline void checkLineField(const QWidget* w, QStringList& out)
{
    const int needed = w->fontMetrics().height();
    int room = 0;
    if (const auto* e = qobject_cast<const QLineEdit*>(w)) {
        QStyleOptionFrame opt;
        opt.initFrom(e);
        opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
        const int lineEditVerticalMargin = 1;
        room = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e).height() - e->textMargins().top() -
               e->textMargins().bottom() - 2 * lineEditVerticalMargin;
    } else if (const auto* p = qobject_cast<const QPlainTextEdit*>(w)) {
        room = p->viewport()->height() - int(p->document()->documentMargin());
    }
    if (needed > room)
        out << describe(w, QStringLiteral("one line"), needed, room) + " (height)";
}

// Cells of a table that holds its own header in row 0.
inline void checkHeaderRow(const QTableWidget* t, QStringList& out)
{
    if (t->horizontalHeader()->isVisible() || t->rowCount() == 0)
        return;
    for (int c = 0; c < t->columnCount(); ++c) {
        const QTableWidgetItem* item = t->item(0, c);
        if (!item || item->text().isEmpty())
            continue;
        const QFont font = item->data(Qt::FontRole).isValid() ? item->font() : t->font();
        const int needed = QFontMetrics(font).horizontalAdvance(item->text()) + 6;
        if (needed > t->columnWidth(c))
            out << describe(t, item->text(), needed, t->columnWidth(c));
    }
}

// Every text of the visible widgets under root that is wider (or taller) than its widget's room.
inline QStringList textsThatDoNotFit(const QWidget* root)
{
    QStringList out;
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || !w->isVisible())
            continue;
        if (const auto* l = qobject_cast<const QLabel*>(w))
            checkLabel(l, out);
        else if (const auto* b = qobject_cast<const QAbstractButton*>(w))
            checkButton(b, out);
        else if (const auto* c = qobject_cast<const QComboBox*>(w))
            checkCombo(c, out);
        else if (const auto* h = qobject_cast<const QHeaderView*>(w))
            checkHeader(h, out);
        else if (const auto* g = qobject_cast<const QGroupBox*>(w))
            checkGroupTitle(g, out);
        else if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w))
            checkLineField(w, out);
        if (const auto* t = qobject_cast<const QTableWidget*>(w))
            checkHeaderRow(t, out);
    }
    return out;
}

} // namespace TextFit
