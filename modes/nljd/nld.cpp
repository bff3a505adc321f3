#include "nld.h"

#include "modes/nljd/nldsource.h"
#include "modes/nljd/nljdmessage.h"
#include "pairs/pairstore.h"

#include <QFontInfo>
#include <QPaintEvent>
#include <QPainter>

NldSource::~NldSource() = default;

namespace
{
const QColor Frame(172, 172, 172);
const QColor Empty(60, 60, 60);
const QColor Second(255, 53, 53);
const QColor Third(53, 53, 255);
const QColor SecondMark(255, 150, 150);
const QColor ThirdMark(150, 150, 255);
const QColor Alarm(255, 82, 82);
const QColor Good(82, 255, 82);
const QColor Text(255, 255, 255);

// Rectangles by their inclusive corners.
QRect box(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(x1, y1), QPoint(x2, y2));
}

void fill(QPainter& p, int x1, int y1, int x2, int y2, const QColor& c)
{
    if (x2 >= x1 && y2 >= y1)
        p.fillRect(box(x1, y1, x2, y2), c);
}

// A mark's height in pixels: never hidden at the bottom, never over the frame at the top.
int markHeight(quint8 value, int h, int H)
{
    int m = value * h / Nljd::MaxHarmonic;
    if (m < 3)
        m = 3;
    if (m >= H - 10)
        m = H - 11;
    return m;
}
} // namespace

void NLD::setReflState(float distance, quint8 state)
{
    m_distance = distance;
    m_state = state;
    update();
}

const NldSource* NLD::source() const
{
    if (m_source)
        return m_source;
    for (const QObject* o = parent(); o; o = o->parent())
        if (const auto* s = o->findChild<const NldSource*>(QString(), Qt::FindDirectChildrenOnly))
            return s;
    return nullptr;
}

QFont NLD::textFont(int pointSize) const
{
    return QFont(QFontInfo(font()).family(), pointSize, 63);
}

QColor NLD::background(quint8 currentPair) const
{
    if (m_pair == currentPair)
        return QColor(42, 130, 218);
    return m_pair % 2 ? QColor(53, 53, 53) : QColor(42, 42, 42);
}

void NLD::paintEvent(QPaintEvent*)
{
    const NldSource* src = source();
    if (!src)
        return;
    QPainter p(this);
    if (m_pair == LargeDisplay)
        paintLarge(p, *src);
    else if (m_reflMode)
        paintRefl(p, *src);
    else
        paintHarmonics(p, *src);
}

void NLD::paintLarge(QPainter& p, const NldSource& src) const
{
    const int W = width() - 1, H = height() - 1;
    const quint8 current = src.currentPair();
    const NljdPairData& r = src.record(current).nljd;

    p.setPen(QPen(Frame, 1));
    p.drawRect(0, 0, W - 1, H - 1);
    if (r.harm2 == Nljd::OverVoltage) {
        fill(p, 5, 5, W - 4, H - 5, Empty);
        p.setFont(textFont(14));
        p.setPen(QPen(Alarm, 1));
        p.drawText(box(0, 10, W, 49), Qt::AlignCenter, tr(">3v!!!"));
        return;
    }

    const int h = H - 9;
    const int b2 = r.harm2 * h / Nljd::MaxHarmonic, b3 = r.harm3 * h / Nljd::MaxHarmonic;
    const int bw = (W - 13) / 2, x3 = W - bw - 5;
    fill(p, 5, h - b2 + 5, bw + 4, h + 4, Second);
    fill(p, 5, 5, bw + 4, h - b2 + 4, Empty);
    fill(p, x3, h - b3 + 5, x3 + bw - 1, h + 4, Third);
    fill(p, x3, 5, x3 + bw - 1, h - b3 + 4, Empty);

    quint8 file2 = 0, file3 = 0;
    if (!src.fileMarks(current, file2, file3))
        return;
    const int f2 = markHeight(file2, h, H), f3 = markHeight(file3, h, H);
    p.setPen(QPen(SecondMark, 5.0));
    p.drawLine(5, h - f2 + 5, bw + 5, h - f2 + 5);
    p.setPen(QPen(ThirdMark, 5.0));
    p.drawLine(x3, h - f3 + 5, W - 4, h - f3 + 5);
}

void NLD::paintHarmonics(QPainter& p, const NldSource& src) const
{
    const int W = width() - 1, H = height() - 1;
    const PairRecord& r = src.record(m_pair);
    const QColor bg = background(src.currentPair());
    if (!(r.dataFlags & DataFlag::nljdValid) || r.excluded) {
        fill(p, 2, 2, 211, 13, bg);
        return;
    }
    if (r.nljd.harm2 == Nljd::OverVoltage) {
        fill(p, 2, 2, W - 3, H - 2, bg);
        p.setFont(textFont(8));
        p.setPen(QPen(Alarm, 1));
        p.drawText(box(0, 0, W - 5, H - 1), Qt::AlignCenter, tr(">3v!!!"));
        return;
    }
    // Two thin bars, the second harmonic above the third.
    const int w = W - 4;
    const int b2 = r.nljd.harm2 * w / Nljd::MaxHarmonic, b3 = r.nljd.harm3 * w / Nljd::MaxHarmonic;
    const int n = height() / 2;
    const int t = height() % 2 == 0 ? n + 1 : n + 2;
    fill(p, b2 + 2, 2, W - 3, n - 2, bg);
    fill(p, b3 + 2, t, W - 3, t + n - 4, bg);
    fill(p, 2, 2, b2 + 1, n - 2, Second);
    fill(p, 2, t, b3 + 1, t + n - 4, Third);
}

void NLD::paintRefl(QPainter& p, const NldSource& src) const
{
    const int W = width() - 1, H = height() - 1;
    const PairRecord& r = src.record(m_pair);
    const bool shown = (r.dataFlags & DataFlag::reflValid) && !r.excluded;
    const QColor bg = background(src.currentPair());
    const quint8 s = m_state;

    if (s >= 1 && s <= MaxBar && shown) {
        const int b = s * (W - 4) / 210;
        fill(p, 2, 2, b + 1, H - 2, Third);
        fill(p, b + 2, 2, W - 3, H - 2, bg);
    } else if (s > MaxBar && s <= 240 && shown) {
        // Nothing: the row keeps what the table draws.
    } else {
        fill(p, 2, 2, W - 3, H - 2, bg);
        if (s == Nothing)
            return;
    }

    QString text;
    QColor pen = Text;
    if (s <= MaxBar) {
        text = QString::asprintf("%.1f m", double(m_distance));
    } else if (s == Measuring) {
        text = tr("Measuring...");
    } else if (s == OverVoltage) {
        text = tr(">3v!!!");
        pen = Alarm;
    } else if (s == Noise) {
        text = tr("Noise!");
        pen = Alarm;
    } else if (s == NoDefects) {
        text = tr("No defects!");
        pen = Good;
    }
    if (!shown)
        return;
    p.setFont(textFont(8));
    p.setPen(QPen(pen, 1));
    p.drawText(box(0, 0, W - 5, H - 1), Qt::AlignCenter, text);
}
