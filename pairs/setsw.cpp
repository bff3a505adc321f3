#include "setsw.h"

#include <QMouseEvent>
#include <QPainter>

namespace
{
const QColor Grey(172, 172, 172);
const QColor DarkGrey(53, 53, 53);
const QColor PinRed(230, 0, 0);
const QColor Frame(20, 20, 20);
constexpr int TwistedX0 = 68;
constexpr int NonTwistedX0 = 213;
constexpr int RowTops[] = {135, 170, 205, 240};

// Left, top, right, bottom, all inclusive.
QRect box(int l, int t, int r, int b)
{
    return QRect(QPoint(l, t), QPoint(r, b));
}

void labelledBox(QPainter& p, const QRect& r, const QColor& fill, const QString& text)
{
    p.fillRect(r, fill);
    p.setPen(Frame);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawText(r, Qt::AlignCenter, text);
}
} // namespace

setSW::setSW(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setGeometry(box(380, 40, 729, 369));
}

void setSW::mousePressEvent(QMouseEvent* e)
{
    if (!m_setup.press(e->pos().x(), e->pos().y()))
        return;
    update();
    emit changeSW(m_setup.cableType(), m_setup.wireMask(), m_setup.shield());
}

void setSW::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QFont f = p.font();
    f.setPixelSize(16);
    f.setWeight(75);
    p.setFont(f);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(box(0, 0, width() - 1, 29), Qt::AlignHCenter | Qt::AlignBottom, tr("Cable Type:"));
    f.setPixelSize(14);
    p.setFont(f);

    const bool twisted = m_setup.twisted();
    paintConnector(p, TwistedX0, twisted, tr("Twisted"));
    paintConnector(p, NonTwistedX0, !twisted, tr("Non-Twisted"));
    if (twisted)
        paintTypeRows(p, TwistedX0);
    else
        paintPinRows(p, NonTwistedX0);
    paintShield(p);
}

void setSW::paintConnector(QPainter& p, int x0, bool active, const QString& name) const
{
    const QRect outline = box(x0 - 28, 42, x0 + 95, 123);
    p.fillRect(outline, active ? Qt::white : Grey);
    p.setPen(Frame);
    p.drawRect(outline.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawText(box(x0 - 28, 42, x0 + 95, 61), Qt::AlignCenter, name);

    p.fillRect(box(x0 - 25, 65, x0 + 92, 120), DarkGrey);
    p.fillRect(box(x0 - 5, 72, x0 + 72, 106), Grey);
    p.fillRect(box(x0 + 20, 107, x0 + 47, 115), Grey);
    for (int n = 1; n <= 8; ++n) {
        const int left = x0 + 9 * (n - 1);
        p.fillRect(box(left, 74, left + 4, 89), active && m_setup.wireOn(n) ? PinRed : Qt::black);
    }
    p.fillRect(box(x0, 95, x0 + 67, 102), active && m_setup.shield() ? PinRed : Qt::black);
}

void setSW::paintTypeRows(QPainter& p, int x0) const
{
    p.fillRect(box(x0 - 7, 135, x0 + 72, 284), DarkGrey);
    for (int r = 0; r < 4; ++r) {
        const int y = RowTops[r];
        const QColor fill = m_setup.cableType() == r ? QColor(Qt::white) : Grey;
        labelledBox(p, box(x0 - 5, y, x0 + 72, y + 19), fill, QString::number(2 * (r + 1)) + tr(" wires"));
    }
}

void setSW::paintPinRows(QPainter& p, int x0) const
{
    for (int r = 0; r < 4; ++r) {
        const int y = RowTops[r];
        for (int wire : {r + 1, r + 5}) {
            const int left = wire <= 4 ? x0 - 22 : x0 + 40;
            const QColor fill = m_setup.wireOn(wire) ? QColor(Qt::white) : Grey;
            labelledBox(p, box(left, y, left + 49, y + 19), fill, tr("pin ") + QString::number(wire));
        }
    }
}

void setSW::paintShield(QPainter& p) const
{
    labelledBox(p, box(100, 285, 249, 304), m_setup.shield() ? QColor(Qt::white) : Grey, tr("Cable Shield"));
}
