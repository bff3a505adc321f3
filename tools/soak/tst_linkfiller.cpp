// The soak's full-rate filler: it fills the line, and only with what the analyser's mode streams.
#include "sim/virtualanalyser.h"
#include "tools/soak/linkfiller.h"

#include <QElapsedTimer>
#include <QtTest>

namespace
{
void runFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
// Connected in the given mode, with wires 1 and 2 switched in when asked.
void connectIn(VirtualAnalyser& analyser, int mode, bool pair)
{
    analyser.setAutoTalk(false);
    analyser.receive(Frame::encode(QByteArray("U\x01", 2)));
    analyser.receive(Frame::encode(QByteArray("R") + char(mode)));
    if (pair)
        analyser.receive(Frame::encode(QByteArray("I\x01\x01\x02", 4)));
}
} // namespace

class TestLinkFiller : public QObject
{
    Q_OBJECT
private slots:
    void fillsTheLineInStreamingModes_data();
    void fillsTheLineInStreamingModes();
    void idleWithoutStreamOrWhileSilent_data();
    void idleWithoutStreamOrWhileSilent();
};

void TestLinkFiller::fillsTheLineInStreamingModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<char>("kind");
    QTest::newRow("LFA") << int(VirtualAnalyser::ModeLfa) << 'M';
    QTest::newRow("WRx") << int(VirtualAnalyser::ModeWrx) << 'C';
    QTest::newRow("NLJD") << int(VirtualAnalyser::ModeNljd) << 'N';
}

void TestLinkFiller::fillsTheLineInStreamingModes()
{
    QFETCH(int, mode);
    QFETCH(char, kind);
    VirtualAnalyser analyser;
    connectIn(analyser, mode, true);
    QByteArray out;
    connect(&analyser, &VirtualAnalyser::output, [&out](const QByteArray& b) { out += b; });

    LinkFiller filler(analyser);
    QElapsedTimer ran;
    ran.start();
    filler.start();
    runFor(1000);
    filler.stop();
    // A loaded machine may fall behind, but never ahead of the line; most of the line is used.
    const double perSecond = filler.bytesSent() * 1000.0 / qMax<qint64>(1000, ran.elapsed());
    QVERIFY2(perSecond <= LinkFiller::LineBytesPerSecond * 1.05, qPrintable(QString::number(perSecond)));
    QVERIFY2(perSecond + filler.shortfallBytes() >= LinkFiller::LineBytesPerSecond * 0.8,
             qPrintable(QString::number(perSecond)));
    QCOMPARE(double(out.size()), filler.bytesSent());
    FrameReceiver rx;
    int ofKind = 0, frames = 0;
    for (char c : out)
        if (rx.feed(quint8(c))) {
            ++frames;
            ofKind += rx.takePayload().at(0) == kind;
        }
    QVERIFY(frames > 100);
    QVERIFY(ofKind > frames * 9 / 10);
}

void TestLinkFiller::idleWithoutStreamOrWhileSilent_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("pair");
    QTest::addColumn<bool>("silent");
    QTest::newRow("REFL streams nothing by itself") << int(VirtualAnalyser::ModeRefl) << true << false;
    QTest::newRow("no pair switched in") << int(VirtualAnalyser::ModeLfa) << false << false;
    QTest::newRow("silent analyser") << int(VirtualAnalyser::ModeLfa) << true << true;
}

void TestLinkFiller::idleWithoutStreamOrWhileSilent()
{
    QFETCH(int, mode);
    QFETCH(bool, pair);
    QFETCH(bool, silent);
    VirtualAnalyser analyser;
    connectIn(analyser, mode, pair);
    analyser.setSilent(silent);
    LinkFiller filler(analyser);
    filler.start();
    runFor(300);
    const double idle = filler.bytesSent();
    // No credit piles up while idle: once the stream may run, the line is not flooded to catch up.
    analyser.setSilent(false);
    analyser.receive(Frame::encode(QByteArray("R\x04", 2)));
    analyser.receive(Frame::encode(QByteArray("I\x01\x01\x03", 4)));
    QElapsedTimer resumed;
    resumed.start();
    runFor(100);
    filler.stop();
    // A loaded machine may stretch the 100 ms; the line may be used for as long as it really ran.
    const double ranSeconds = resumed.elapsed() / 1000.0;
    QCOMPARE(idle, 0.0);
    QVERIFY2(filler.bytesSent() <= LinkFiller::LineBytesPerSecond * ranSeconds + 1000,
             qPrintable(QString::number(filler.bytesSent())));
}

QTEST_GUILESS_MAIN(TestLinkFiller)
#include "tst_linkfiller.moc"
