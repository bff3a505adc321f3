// Draws every picture the program uses and writes them below the folder given on the command line.
// The output is committed, so the program's build does not depend on this tool.
//
//   QT_QPA_PLATFORM=offscreen iconart resources

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtMath>

#include <functional>
#include <vector>

namespace
{

// A small palette chosen to read on the dark window colour rgb(53,53,53).
namespace pal
{
const QColor window(53, 53, 53);
const QColor base(42, 42, 42);
const QColor highlight(42, 130, 218);
const QColor disabled(127, 127, 127);
const QColor glyph(205, 205, 205);
const QColor line(112, 112, 112);
const QColor ice(140, 210, 255);
const QColor green(76, 187, 84);
const QColor red(229, 83, 71);
const QColor amber(240, 168, 48);
const QColor yellow(236, 190, 84);
const QColor yellowDark(190, 142, 52);
const QColor blue(52, 138, 232);
const QColor brown(176, 112, 58);
const QColor violet(160, 100, 224);
const QColor paper(238, 238, 238);
} // namespace pal

using Draw = std::function<void(QPainter&)>;

struct Picture {
    QString path;
    int width;
    int height;
    Draw draw;
};

QPen stroke(const QColor& c, qreal w)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QImage render(int w, int h, const Draw& draw)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// ---- :/img/ (32 x 32, shown at 16) ----

void drawGear(QPainter& p)
{
    // Eight teeth; the hole is cut out so the button colour shows through.
    QPainterPath gear;
    const QPointF c(16, 16);
    const int teeth = 8;
    const qreal rOut = 14.5, rIn = 10.5, half = M_PI / teeth;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = 2 * M_PI * i / teeth;
        const qreal pts[4] = {a - half * 0.95, a - half * 0.45, a + half * 0.45, a + half * 0.95};
        const qreal rad[4] = {rIn, rOut, rOut, rIn};
        for (int k = 0; k < 4; ++k) {
            const QPointF pt = c + QPointF(qCos(pts[k]), qSin(pts[k])) * rad[k];
            if (i == 0 && k == 0)
                gear.moveTo(pt);
            else
                gear.lineTo(pt);
        }
    }
    gear.closeSubpath();
    gear.addEllipse(c, 5, 5);
    gear.setFillRule(Qt::OddEvenFill);
    p.fillPath(gear, pal::glyph);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::highlight);
    p.drawEllipse(c, 2.5, 2.5);
}

QPainterPath bar(qreal x, qreal y, qreal w, qreal h)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), 1.5, 1.5);
    return path;
}

void drawPlus(QPainter& p)
{
    p.fillPath(bar(5, 13, 22, 6).united(bar(13, 5, 6, 22)), pal::green);
}

void drawMinus(QPainter& p)
{
    p.fillPath(bar(5, 13, 22, 6), pal::red);
}

void drawTrash(QPainter& p)
{
    const QColor dark(120, 36, 30);
    p.setPen(stroke(pal::red, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(12, 3, 8, 5), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::red);
    p.drawRoundedRect(QRectF(4, 7, 24, 4), 1.5, 1.5);
    QPainterPath body;
    body.moveTo(7, 12.5);
    body.lineTo(25, 12.5);
    body.lineTo(23.2, 28);
    body.quadTo(23, 30, 21, 30);
    body.lineTo(11, 30);
    body.quadTo(9, 30, 8.8, 28);
    body.closeSubpath();
    p.fillPath(body, pal::red);
    p.setPen(stroke(dark, 2));
    // Two ribs on even pixels stay apart when shown at half size.
    for (qreal x : {13.0, 19.0})
        p.drawLine(QPointF(x, 16), QPointF(x, 26));
}

void drawFolder(QPainter& p)
{
    QPainterPath back;
    back.moveTo(2, 7);
    back.quadTo(2, 5, 4, 5);
    back.lineTo(11, 5);
    back.lineTo(14, 8.5);
    back.lineTo(26, 8.5);
    back.quadTo(28, 8.5, 28, 10.5);
    back.lineTo(28, 27);
    back.lineTo(2, 27);
    back.closeSubpath();
    p.fillPath(back, pal::yellowDark);
    // The front leaf leans forward: that is what makes the folder look open.
    QPainterPath front;
    front.moveTo(8, 13);
    front.lineTo(30.5, 13);
    front.quadTo(31.5, 13, 31, 14.2);
    front.lineTo(26.5, 26);
    front.quadTo(26, 27, 25, 27);
    front.lineTo(2, 27);
    front.lineTo(6.5, 14);
    front.quadTo(7, 13, 8, 13);
    p.fillPath(front, pal::yellow);
}

void drawNotes(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawRoundedRect(QRectF(5, 4, 22, 26), 2.5, 2.5);
    QPainterPath head;
    head.addRoundedRect(QRectF(5, 4, 22, 7), 2.5, 2.5);
    head.addRect(QRectF(5, 8, 22, 3));
    p.fillPath(head.simplified(), pal::highlight);
    p.setPen(stroke(QColor(40, 40, 40), 2));
    for (qreal x : {10.0, 16.0, 22.0})
        p.drawLine(QPointF(x, 2), QPointF(x, 7));
    p.setPen(stroke(QColor(96, 132, 180), 2));
    for (qreal y : {15.0, 19.5, 24.0})
        p.drawLine(QPointF(9, y), QPointF(23, y));
    p.drawLine(QPointF(9, 24), QPointF(17, 24));
}

void drawFloppy(QPainter& p)
{
    QPainterPath body;
    body.moveTo(4, 6);
    body.quadTo(4, 4, 6, 4);
    body.lineTo(23, 4);
    body.lineTo(28, 9);
    body.lineTo(28, 26);
    body.quadTo(28, 28, 26, 28);
    body.lineTo(6, 28);
    body.quadTo(4, 28, 4, 26);
    body.closeSubpath();
    p.fillPath(body, pal::blue);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 220, 230));
    p.drawRect(QRectF(10, 4, 12, 8));
    p.setBrush(QColor(34, 80, 140));
    p.drawRect(QRectF(17, 5.5, 3, 5));
    p.setBrush(pal::paper);
    p.drawRoundedRect(QRectF(8, 16, 16, 12), 1, 1);
    p.setPen(stroke(QColor(150, 170, 200), 1.5));
    p.drawLine(QPointF(11, 20), QPointF(21, 20));
    p.drawLine(QPointF(11, 24), QPointF(21, 24));
}

// Arrowhead whose base sits on the circle at angleDeg, pointing counter-clockwise along it.
QPainterPath arrowHead(QPointF c, qreal r, qreal angleDeg, qreal len, qreal halfWidth)
{
    const qreal a = qDegreesToRadians(angleDeg);
    const QPointF out(qCos(a), -qSin(a));
    const QPointF pos = c + out * r;
    const QPointF dir(-qSin(a), -qCos(a));
    QPainterPath head;
    head.moveTo(pos + dir * len);
    head.lineTo(pos + out * halfWidth);
    head.lineTo(pos - out * halfWidth);
    head.closeSubpath();
    return head;
}

void drawUndo(QPainter& p)
{
    // Counter-clockwise arrow; the gap at the top left leaves room for the head.
    const QPointF c(16, 17);
    const qreal r = 10;
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    QPainterPath arc;
    arc.arcMoveTo(box, 75);
    arc.arcTo(box, 75, -255);
    p.setPen(stroke(pal::ice, 3.5));
    p.drawPath(arc);
    p.setPen(stroke(pal::ice, 1.5));
    p.setBrush(pal::ice);
    p.drawPath(arrowHead(c, r, 75, 8, 6.5));
}

void drawArrow(QPainter& p, bool left)
{
    QPolygonF tri;
    if (left)
        tri << QPointF(21, 6.5) << QPointF(21, 25.5) << QPointF(8.5, 16);
    else
        tri << QPointF(11, 6.5) << QPointF(11, 25.5) << QPointF(23.5, 16);
    p.setPen(stroke(pal::ice, 2.5));
    p.setBrush(pal::ice);
    p.drawPolygon(tri);
}

void drawDot(QPainter& p, const QColor& c)
{
    p.setPen(QPen(c.darker(140), 1));
    p.setBrush(c);
    p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawEllipse(QPointF(6.5, 6.3), 2, 1.6);
}

// Plug and socket along a diagonal; apart they mean "no connection".
void drawPlug(QPainter& p, const QColor& c, bool connected)
{
    p.translate(16, 16);
    p.rotate(-45);
    const qreal gap = connected ? 0 : 4;
    p.setPen(stroke(c, 3.5));
    p.drawLine(QPointF(-21, 0), QPointF(-11 - gap, 0));
    p.drawLine(QPointF(11 + gap, 0), QPointF(21, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(-12 - gap, -7, 10, 14), 2, 2);
    p.drawRect(QRectF(-3 - gap, -5, 5 + gap, 3));
    p.drawRect(QRectF(-3 - gap, 2, 5 + gap, 3));
    p.drawRoundedRect(QRectF(1 + gap, -7, 11, 14), 2, 2);
}

void drawExcel(QPainter& p)
{
    // Drawn large: report tiles scale it to their cell size.
    const QColor tile(30, 118, 68), tileDark(18, 82, 46), grid(120, 180, 140);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(6, 6, 116, 116), 16, 16);
    p.setBrush(QColor(240, 246, 242));
    p.drawRoundedRect(QRectF(50, 22, 60, 84), 4, 4);
    p.setPen(QPen(grid, 3));
    for (qreal y = 43; y < 106; y += 21)
        p.drawLine(QPointF(50, y), QPointF(110, y));
    p.drawLine(QPointF(80, 22), QPointF(80, 106));
    p.setPen(Qt::NoPen);
    p.setBrush(tileDark);
    p.drawRoundedRect(QRectF(16, 34, 60, 60), 6, 6);
    p.setPen(QPen(Qt::white, 10, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(31, 49), QPointF(61, 79));
    p.drawLine(QPointF(61, 49), QPointF(31, 79));
}

void clipFlag(QPainter& p, const QRectF& r)
{
    QPainterPath clip;
    clip.addRoundedRect(r, 3, 3);
    p.setClipPath(clip);
}

void drawRussia(QPainter& p)
{
    const QRectF r(0, 0, 48, 32);
    clipFlag(p, r);
    const qreal h = r.height() / 3;
    p.fillRect(QRectF(0, 0, 48, h), QColor(245, 245, 245));
    p.fillRect(QRectF(0, h, 48, h), QColor(0, 57, 166));
    p.fillRect(QRectF(0, 2 * h, 48, h), QColor(213, 43, 30));
}

void drawUnitedKingdom(QPainter& p)
{
    const QRectF r(0, 0, 48, 32);
    const QColor navy(12, 45, 125), white(245, 245, 245), red(204, 22, 48);
    clipFlag(p, r);
    p.fillRect(r, navy);
    const qreal h = r.height();
    p.setPen(QPen(white, h * 0.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
    p.setPen(QPen(red, h * 0.07, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
    const qreal wc = h * 0.34, rc = h * 0.2;
    p.fillRect(QRectF(0, (h - wc) / 2, r.width(), wc), white);
    p.fillRect(QRectF((r.width() - wc) / 2, 0, wc, h), white);
    p.fillRect(QRectF(0, (h - rc) / 2, r.width(), rc), red);
    p.fillRect(QRectF((r.width() - rc) / 2, 0, rc, h), red);
}

// ---- :/bat/ (27 x 16, shown unscaled on the dark title bar) ----

void drawBattery(QPainter& p, int level)
{
    const QColor fill = level <= 20 ? pal::red : level <= 40 ? pal::amber : pal::green;
    // Pixel-aligned so the 1 px outline stays sharp at its only size.
    p.setPen(QPen(level == 0 ? pal::red : pal::glyph, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.5, 2.5, 21, 11), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(level == 0 ? pal::red : pal::glyph);
    p.drawRoundedRect(QRectF(23, 5.5, 2.5, 5), 1, 1);
    const int inner = 18;
    const int w = qRound(inner * level / 100.0);
    if (w > 0)
        p.fillRect(QRect(3, 4, w, 8), fill);
}

// ---- :/proc/ busy wheel (32 x 32) ----

void drawWheel(QPainter& p, int frame)
{
    const QPointF c(16, 16);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
        // behind = how many steps this dot trails the bright one; the wheel turns clockwise.
        const int behind = (frame - i + 8) % 8;
        const qreal a = qDegreesToRadians(-90.0 + 45.0 * i);
        QColor col(110, 110, 110);
        qreal r = 3.0;
        if (behind == 0) {
            col = QColor(245, 250, 255);
            r = 3.8;
        } else if (behind == 1) {
            col = QColor(170, 210, 240);
            r = 3.4;
        } else if (behind == 2) {
            col = QColor(135, 160, 185);
            r = 3.2;
        }
        p.setBrush(col);
        p.drawEllipse(c + QPointF(qCos(a), qSin(a)) * 11, r, r);
    }
}

// ---- :/images/ title-bar buttons (16 x 16, pixel aligned) ----

const QColor titleGlyph(200, 200, 200);

void drawMinimize(QPainter& p)
{
    p.fillRect(QRect(3, 8, 10, 1), titleGlyph);
}

void drawMaximize(QPainter& p)
{
    p.setPen(QPen(titleGlyph, 1));
    p.drawRect(QRectF(3.5, 3.5, 9, 9));
    p.drawLine(QPointF(3.5, 4.5), QPointF(12.5, 4.5));
}

void drawRestoreGlyph(QPainter& p, const QColor& c)
{
    p.setPen(QPen(c, 1));
    p.drawRect(QRectF(3.5, 5.5, 7, 7));
    p.drawLine(QPointF(5.5, 3.5), QPointF(12.5, 3.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(12.5, 10.5));
    p.drawLine(QPointF(5.5, 3.5), QPointF(5.5, 5.5));
    p.drawLine(QPointF(12.5, 10.5), QPointF(10.5, 10.5));
}

void drawCross(QPainter& p, const QColor& c, qreal w)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

// ---- :/darkstyle/ indicators (15 x 15) and tree branches (20 x 20) ----

enum class State { Normal, Pressed, Disabled };
enum class Mark { None, Check, Dash };

void drawCheckbox(QPainter& p, Mark mark, State state)
{
    QColor border(150, 150, 150), fill = pal::base, ink = Qt::white;
    if (mark != Mark::None) {
        border = pal::highlight.lighter(120);
        fill = pal::highlight;
    }
    if (state == State::Pressed) {
        border = pal::highlight.lighter(130);
        fill = mark == Mark::None ? QColor(62, 62, 62) : pal::highlight.darker(140);
        ink = QColor(225, 225, 225);
    } else if (state == State::Disabled) {
        border = QColor(88, 88, 88);
        fill = mark == Mark::None ? pal::window : QColor(70, 70, 70);
        ink = pal::disabled;
    }
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 14, 14), 2.5, 2.5);
    if (mark == Mark::Check) {
        p.setPen(stroke(ink, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF() << QPointF(3.5, 7.5) << QPointF(6.2, 10.3) << QPointF(11.5, 4.5));
    } else if (mark == Mark::Dash) {
        p.fillRect(QRect(4, 6, 7, 3), ink);
    }
}

void drawRadio(QPainter& p, bool checked, State state)
{
    QColor border(150, 150, 150), fill = pal::base, ink = Qt::white;
    if (checked) {
        border = pal::highlight.lighter(120);
        fill = pal::highlight;
    }
    if (state == State::Pressed) {
        border = pal::highlight.lighter(130);
        fill = checked ? pal::highlight.darker(140) : QColor(62, 62, 62);
        ink = QColor(225, 225, 225);
    } else if (state == State::Disabled) {
        border = QColor(88, 88, 88);
        fill = checked ? QColor(70, 70, 70) : pal::window;
        ink = pal::disabled;
    }
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawEllipse(QPointF(7.5, 7.5), 7, 7);
    if (checked) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(7.5, 7.5), 3, 3);
    }
}

// Connector lines sit on pixel column 9 and row 9 so that arrows and lines share one centre.
void drawBranchLines(QPainter& p, bool up, bool down, bool right)
{
    if (up)
        p.fillRect(QRect(9, 0, 1, 10), pal::line);
    if (down)
        p.fillRect(QRect(9, 9, 1, 11), pal::line);
    if (right)
        p.fillRect(QRect(9, 9, 11, 1), pal::line);
}

void drawBranchArrow(QPainter& p, bool open)
{
    QPolygonF tri;
    if (open)
        tri << QPointF(5.5, 7.5) << QPointF(13.5, 7.5) << QPointF(9.5, 12);
    else
        tri << QPointF(7.5, 5.5) << QPointF(12, 9.5) << QPointF(7.5, 13.5);
    p.setPen(stroke(QColor(180, 180, 180), 1));
    p.setBrush(QColor(180, 180, 180));
    p.drawPolygon(tri);
}

void drawUndock(QPainter& p, const QColor& c)
{
    p.setPen(QPen(c, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 5.5, 8, 8));
    p.setPen(stroke(c, 1.5));
    p.drawLine(QPointF(7, 9), QPointF(13, 3));
    p.drawLine(QPointF(9, 3), QPointF(13, 3));
    p.drawLine(QPointF(13, 3), QPointF(13, 7));
}

// ---- application icon ----

void drawAppIcon(QPainter& p, int size)
{
    const qreal s = size / 32.0;
    p.scale(s, s);
    QLinearGradient bg(0, 0, 0, 32);
    bg.setColorAt(0, QColor(36, 88, 160));
    bg.setColorAt(1, QColor(20, 52, 104));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    // Two wires in opposite phase: a twisted pair seen from the side.
    // Fewer twists at the smallest sizes, where three would run together.
    const int lobes = size <= 24 ? 2 : 3;
    QPainterPath a, b;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const qreal x = 4 + 24.0 * i / steps;
        const qreal ph = (x - 4) / 24.0 * lobes * M_PI;
        const QPointF pa(x, 16 - 6.5 * qSin(ph)), pb(x, 16 + 6.5 * qSin(ph));
        if (i == 0) {
            a.moveTo(pa);
            b.moveTo(pb);
        } else {
            a.lineTo(pa);
            b.lineTo(pb);
        }
    }
    const qreal w = size <= 16 ? 3.2 : 2.6;
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(pal::amber, w));
    p.drawPath(b);
    p.setPen(stroke(pal::ice, w));
    p.drawPath(a);
}

QByteArray pngBytes(const QImage& img)
{
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    return img.save(&buf, "PNG") ? png : QByteArray();
}

// ICO container: 32-bit DIB entries for the small sizes that old readers expect,
// PNG entries from 64 px up to keep the file small (Qt's ico plugin reads both).
QByteArray icoFile(const std::vector<QImage>& images)
{
    QByteArray out;
    QDataStream ds(&out, QIODevice::WriteOnly);
    ds.setByteOrder(QDataStream::LittleEndian);
    ds << quint16(0) << quint16(1) << quint16(images.size());
    std::vector<QByteArray> payloads;
    for (const QImage& src : images) {
        const QImage img = src.convertToFormat(QImage::Format_ARGB32);
        const int w = img.width(), h = img.height();
        if (w >= 64) {
            payloads.push_back(pngBytes(img));
            continue;
        }
        const int maskStride = ((w + 31) / 32) * 4;
        QByteArray dib;
        QDataStream d(&dib, QIODevice::WriteOnly);
        d.setByteOrder(QDataStream::LittleEndian);
        d << quint32(40) << qint32(w) << qint32(2 * h) << quint16(1) << quint16(32) << quint32(0)
          << quint32(w * h * 4 + maskStride * h) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
        for (int y = h - 1; y >= 0; --y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < w; ++x)
                d << quint8(qBlue(row[x])) << quint8(qGreen(row[x])) << quint8(qRed(row[x]))
                  << quint8(qAlpha(row[x]));
        }
        for (int y = h - 1; y >= 0; --y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            QByteArray bits(maskStride, '\0');
            for (int x = 0; x < w; ++x)
                if (qAlpha(row[x]) == 0)
                    bits[x / 8] = char(bits[x / 8] | (0x80 >> (x % 8)));
            d.writeRawData(bits.constData(), bits.size());
        }
        payloads.push_back(dib);
    }
    quint32 offset = 6 + 16 * quint32(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int w = images[i].width(), h = images[i].height();
        ds << quint8(w >= 256 ? 0 : w) << quint8(h >= 256 ? 0 : h) << quint8(0) << quint8(0) << quint16(1)
           << quint16(32) << quint32(payloads[i].size()) << offset;
        offset += quint32(payloads[i].size());
    }
    for (const QByteArray& dib : payloads)
        ds.writeRawData(dib.constData(), dib.size());
    return out;
}

std::vector<Picture> pictures()
{
    std::vector<Picture> list = {
        {"img/Application.png", 32, 32, drawGear},
        {"img/Create.png", 32, 32, drawPlus},
        {"img/Delete.png", 32, 32, drawTrash},
        {"img/Folder.png", 32, 32, drawFolder},
        {"img/Notes.png", 32, 32, drawNotes},
        {"img/Save.png", 32, 32, drawFloppy},
        {"img/Undo.png", 32, 32, drawUndo},
        {"img/blue.png", 16, 16, [](QPainter& p) { drawDot(p, pal::blue); }},
        {"img/green.png", 16, 16, [](QPainter& p) { drawDot(p, pal::green); }},
        {"img/brown.png", 16, 16, [](QPainter& p) { drawDot(p, pal::brown); }},
        {"img/viol.png", 16, 16, [](QPainter& p) { drawDot(p, pal::violet); }},
        {"img/excel.png", 128, 128, drawExcel},
        {"img/img_left.png", 32, 32, [](QPainter& p) { drawArrow(p, true); }},
        {"img/img_right.png", 32, 32, [](QPainter& p) { drawArrow(p, false); }},
        {"img/minus.png", 32, 32, drawMinus},
        {"img/off.png", 32, 32, [](QPainter& p) { drawPlug(p, pal::red, false); }},
        {"img/on.png", 32, 32, [](QPainter& p) { drawPlug(p, pal::green, true); }},
        {"img/ru.png", 48, 32, drawRussia},
        {"img/uk.png", 48, 32, drawUnitedKingdom},
        {"images/icon_window_minimize.png", 16, 16, drawMinimize},
        {"images/icon_window_restore.png", 16, 16, [](QPainter& p) { drawRestoreGlyph(p, titleGlyph); }},
        {"images/icon_window_maximize.png", 16, 16, drawMaximize},
        {"images/icon_window_close.png", 16, 16, [](QPainter& p) { drawCross(p, titleGlyph, 1.5); }},
        {"darkstyle/icon_branch_open.png", 20, 20, [](QPainter& p) { drawBranchArrow(p, true); }},
        {"darkstyle/icon_branch_closed.png", 20, 20, [](QPainter& p) { drawBranchArrow(p, false); }},
        {"darkstyle/icon_branch_end.png", 20, 20, [](QPainter& p) { drawBranchLines(p, true, false, true); }},
        {"darkstyle/icon_branch_more.png", 20, 20, [](QPainter& p) { drawBranchLines(p, true, true, true); }},
        {"darkstyle/icon_vline.png", 20, 20, [](QPainter& p) { drawBranchLines(p, true, true, false); }},
        {"darkstyle/icon_close.png", 16, 16, [](QPainter& p) { drawCross(p, pal::glyph, 1.5); }},
        {"darkstyle/icon_undock.png", 16, 16, [](QPainter& p) { drawUndock(p, pal::glyph); }},
        {"darkstyle/icon_restore.png", 16, 16, [](QPainter& p) { drawRestoreGlyph(p, pal::glyph); }},
    };
    for (int level : {0, 20, 40, 60, 80, 100})
        list.push_back(
            {QString("bat/%1.png").arg(level), 27, 16, [level](QPainter& p) { drawBattery(p, level); }});
    for (int f = 0; f < 8; ++f)
        list.push_back(
            {QString("proc/proc%1.png").arg(f + 1), 32, 32, [f](QPainter& p) { drawWheel(p, f); }});
    const struct {
        const char* name;
        Mark mark;
    } boxes[] = {{"checked", Mark::Check}, {"unchecked", Mark::None}, {"indeterminate", Mark::Dash}};
    const struct {
        const char* suffix;
        State state;
    } states[] = {{"", State::Normal}, {"_pressed", State::Pressed}, {"_disabled", State::Disabled}};
    for (const auto& b : boxes)
        for (const auto& s : states)
            list.push_back({QString("darkstyle/icon_checkbox_%1%2.png").arg(b.name, s.suffix), 15, 15,
                            [b, s](QPainter& p) { drawCheckbox(p, b.mark, s.state); }});
    for (bool checked : {true, false})
        for (const auto& s : states)
            list.push_back({QString("darkstyle/icon_radiobutton_%1%2.png")
                                .arg(checked ? "checked" : "unchecked", s.suffix),
                            15, 15, [checked, s](QPainter& p) { drawRadio(p, checked, s.state); }});
    return list;
}

QString atTwice(const QString& path)
{
    QString p = path;
    return p.insert(p.lastIndexOf('.'), QLatin1String("@2x"));
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
        QTextStream(stderr) << "iconart: cannot write " << path << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: iconart OUTPUT_FOLDER\n";
        return 2;
    }
    const QDir out(args.at(1));
    int written = 0;
    auto writePng = [&](const QString& rel, const QImage& img) {
        const QString path = out.filePath(rel);
        QDir().mkpath(QFileInfo(path).path());
        const QByteArray png = pngBytes(img);
        if (png.isEmpty() || !writeFile(path, png))
            return false;
        ++written;
        return true;
    };
    for (const Picture& pic : pictures()) {
        if (!writePng(pic.path, render(pic.width, pic.height, pic.draw)))
            return 1;
        // Qt picks "name@2x.png" on screens scaled by two: the same drawing on a doubled grid,
        // so lines laid on pixel edges stay sharp instead of being blown up.
        const Draw doubled = [&pic](QPainter& p) {
            p.scale(2, 2);
            pic.draw(p);
        };
        if (!writePng(atTwice(pic.path), render(2 * pic.width, 2 * pic.height, doubled)))
            return 1;
    }
    std::vector<QImage> sizes;
    for (int s : {16, 24, 32, 48, 64, 128, 256}) {
        sizes.push_back(render(s, s, [s](QPainter& p) { drawAppIcon(p, s); }));
        // The desktop's menus take the application icon from the hicolor theme.
        if (!writePng(QString("icons/hicolor/%1x%1/apps/kv847.png").arg(s), sizes.back()))
            return 1;
    }
    if (!writeFile(out.filePath("favicon.ico"), icoFile(sizes)))
        return 1;
    QTextStream(stdout) << "iconart: " << written + 1 << " files written to " << out.path() << "\n";
    return 0;
}
