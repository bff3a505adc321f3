#include "link/dispatchroute.h"
#include "link/framecodec.h"

#include <QtTest>

namespace
{
QByteArray hex(const char* s)
{
    return QByteArray::fromHex(s);
}

QList<QByteArray> receiveAll(FrameReceiver& rx, const QByteArray& bytes)
{
    QList<QByteArray> out;
    for (char c : bytes)
        if (rx.feed(quint8(c)))
            out.append(rx.takePayload());
    return out;
}
} // namespace

class TestLink : public QObject
{
    Q_OBJECT
private slots:
    void encodeVectors_data();
    void encodeVectors();
    void roundTrip_data();
    void roundTrip();
    void oversizedFrameRefused();
    void zeroLengthNeverDelivered();
    void startByteRestarts();
    void splitFrameDeliveredOnce();
    void twoFramesInOneRead();
    void badChecksumDropsUntilNextStart();
    void strayBytesIgnored();
    void traces();
    void routing_data();
    void routing();
};

void TestLink::encodeVectors_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("connect") << hex("5501") << hex("C0025501 56C1");
    QTest::newRow("sum is C0") << hex("5070") << hex("C0025070DBDCC1");
    QTest::newRow("payload C0 C1 DB") << hex("C0C1DB") << hex("C003DBDCDBDDDBDE5CC1");
    QTest::newRow("length C0") << QByteArray(0xC0, 'B')
                               << hex("C0DBDC") + QByteArray(0xC0, 'B') + hex("80C1");
    QTest::newRow("sum C1") << hex("C1") << hex("C001DBDDDBDDC1");
    QTest::newRow("sum DB") << hex("DB") << hex("C001DBDEDBDEC1");
    QTest::newRow("empty") << QByteArray() << hex("C00000C1");
}

void TestLink::encodeVectors()
{
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, frame);
    QCOMPARE(Frame::encode(payload).toHex(' '), frame.toHex(' '));
}

void TestLink::roundTrip_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("connect") << hex("5501");
    QTest::newRow("every special byte") << hex("53C0C1DBDCDDDE00FF");
    QTest::newRow("sum C0") << hex("5070");
    QTest::newRow("firmware block size") << QByteArray(65, char(0xDB));
    QByteArray all;
    for (int i = 0; i < 120; ++i)
        all.append(char(i * 37));
    QTest::newRow("mixed 120") << all;
}

void TestLink::roundTrip()
{
    QFETCH(QByteArray, payload);
    FrameReceiver rx;
    const QList<QByteArray> got = receiveAll(rx, Frame::encode(payload));
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.first(), payload + QByteArray(1, '\0'));
}

void TestLink::oversizedFrameRefused()
{
    // 126 escaped bytes make 252 + start, length, sum and end: one past the limit.
    QVERIFY(Frame::encode(QByteArray(126, char(0xC0))).isEmpty());
    QCOMPARE(Frame::encode(QByteArray(125, char(0xC0))).size(), 255);
    QCOMPARE(Frame::encode(QByteArray(251, 'x')).size(), 255);
    QVERIFY(Frame::encode(QByteArray(252, 'x')).isEmpty());
}

void TestLink::zeroLengthNeverDelivered()
{
    FrameReceiver rx;
    QByteArray stream = hex("C00000C1");
    stream += QByteArray(70000, 'A') + hex("00C1"); // a long run cannot wrap the count back to 0
    QVERIFY(receiveAll(rx, stream).isEmpty());
    // The next start byte frees the receiver.
    QCOMPARE(receiveAll(rx, Frame::encode("#")), QList<QByteArray>{QByteArray("#\0", 2)});
}

void TestLink::startByteRestarts()
{
    FrameReceiver rx;
    const QByteArray stream = hex("C0055301") + Frame::encode("B\x03\x01");
    QCOMPARE(receiveAll(rx, stream), QList<QByteArray>{QByteArray("B\x03\x01\0", 4)});
}

void TestLink::splitFrameDeliveredOnce()
{
    FrameReceiver rx;
    const QByteArray frame = Frame::encode(hex("5070C0DB"));
    int delivered = 0;
    for (int i = 0; i < frame.size(); ++i) {
        const QList<QByteArray> got = receiveAll(rx, frame.mid(i, 1));
        delivered += got.size();
        if (!got.isEmpty())
            QCOMPARE(got.first(), hex("5070C0DB00"));
    }
    QCOMPARE(delivered, 1);
}

void TestLink::twoFramesInOneRead()
{
    FrameReceiver rx;
    const QList<QByteArray> got = receiveAll(rx, Frame::encode("S\x01\x02\x05") + Frame::encode("#"));
    QCOMPARE(got.size(), 2);
    QCOMPARE(got.at(0), QByteArray("S\x01\x02\x05\0", 5));
    QCOMPARE(got.at(1), QByteArray("#\0", 2));
}

void TestLink::badChecksumDropsUntilNextStart()
{
    FrameReceiver rx;
    QByteArray bad = Frame::encode("B\x02");
    bad[bad.size() - 2] = char(bad.at(bad.size() - 2) + 1);
    // After the bad sum the receiver waits in vain: other bytes and end bytes change nothing.
    const QByteArray stream = bad + hex("12C1C1") + Frame::encode("B\x05");
    QCOMPARE(receiveAll(rx, stream), QList<QByteArray>{QByteArray("B\x05\0", 3)});
}

void TestLink::strayBytesIgnored()
{
    FrameReceiver rx;
    QByteArray frame = Frame::encode("#");
    frame.insert(frame.size() - 1, hex("1234")); // between a good sum and the end byte
    const QByteArray stream = hex("0102C1DB") + frame;
    QCOMPARE(receiveAll(rx, stream), QList<QByteArray>{QByteArray("#\0", 2)});
}

void TestLink::traces()
{
    QCOMPARE(Frame::txTrace(hex("5501")), QByteArray("TX-2: 55 (U) 1 "));
    QCOMPARE(Frame::txTrace(hex("49010A0F")), QByteArray("TX-4: 49 (I) 1 A F "));
    QVERIFY(Frame::txTrace("#").isEmpty());

    FrameReceiver rx;
    QCOMPARE(receiveAll(rx, Frame::encode(hex("5070"))).size(), 1);
    QCOMPARE(rx.trace(), QByteArray("2: 50 (P) 70 (C0) "));
    for (int n : {10, 105, 200}) {
        QCOMPARE(receiveAll(rx, Frame::encode(QByteArray(n, 'C'))).size(), 1);
        QVERIFY2(rx.trace().startsWith(QByteArray::number(n) + ": 43 (C) 43 "), rx.trace().constData());
    }

    QVERIFY(!Frame::rxTraced(QByteArray("#\0", 2)));
    QVERIFY(!Frame::rxTraced(QByteArray("M\x01\0", 3)));
    QVERIFY(!Frame::rxTraced(QByteArray("C\x00\0", 3)));
    QVERIFY(!Frame::rxTraced(QByteArray("C\x03\0", 3)));
    QVERIFY(Frame::rxTraced(QByteArray("C\x01\0", 3)));
    QVERIFY(Frame::rxTraced(QByteArray("S\x01\0", 3)));
}

void TestLink::routing_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("pair");
    QTest::addColumn<int>("route");
    QTest::newRow("N on NLJD") << QByteArray("N\0", 2) << 2 << true << int(Route::Nljd);
    QTest::newRow("N on REFL") << QByteArray("N\0", 2) << 3 << true << int(Route::Ignore);
    QTest::newRow("N without pair") << QByteArray("N\0", 2) << 2 << false << int(Route::Ignore);
    QTest::newRow("T on REFL") << QByteArray("T\0", 2) << 3 << true << int(Route::Refl);
    QTest::newRow("M on LFA") << QByteArray("M\0", 2) << 0 << true << int(Route::Lfa);
    QTest::newRow("V on LFA") << QByteArray("V\0", 2) << 0 << true << int(Route::LfaVoltage);
    QTest::newRow("V on WRx") << QByteArray("V\0", 2) << 1 << true << int(Route::Ignore);
    QTest::newRow("C on WRx") << QByteArray("C\0", 2) << 1 << true << int(Route::Wrx);
    QTest::newRow("P on NLJD") << QByteArray("P\0", 2) << 2 << false << int(Route::Progress);
    QTest::newRow("P on LFA") << QByteArray("P\0", 2) << 0 << true << int(Route::Ignore);
    QTest::newRow("S anywhere") << QByteArray("S\0", 2) << 5 << false << int(Route::Status);
    QTest::newRow("D anywhere") << QByteArray("D\0", 2) << 4 << false << int(Route::Firmware);
    QTest::newRow("B") << QByteArray("B\0", 2) << 1 << false << int(Route::Battery);
    QTest::newRow("#") << QByteArray("#\0", 2) << 1 << false << int(Route::KeepAlive);
    QTest::newRow("unknown") << QByteArray("Z\0", 2) << 0 << true << int(Route::Ignore);
}

void TestLink::routing()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, tab);
    QFETCH(bool, pair);
    QFETCH(int, route);
    QCOMPARE(int(routeFor(payload, tab, pair)), route);
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
