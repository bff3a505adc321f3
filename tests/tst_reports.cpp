#include "modes/lfa/osc.h"
#include "modes/refl/reflfile.h"
#include "modes/refl/reflmodestate.h"
#include "pairs/pairnumbering.h"
#include "pairs/pairstore.h"
#include "reporting/capturerun.h"
#include "reporting/inreptab.h"
#include "reporting/receiverview.h"
#include "reporting/reportfiles.h"
#include "reporting/reportshots.h"
#include "reporting/thumbnails.h"
#include "reporting/xlsx/xlsxdocument.h"
#include "resources/resources.h"
#include "sim/mode_refl.h"
#include "windowrigs.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <QTreeWidget>
#include <utime.h>

using Report::Item;

namespace
{
// The report tree lives in the working directory; every test gets a fresh one.
struct InTempDir {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    InTempDir() { QDir::setCurrent(dir.path()); }
    ~InTempDir() { QDir::setCurrent(previous); }
};

void touch(const QString& path, const QByteArray& bytes = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void writePng(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::red);
    QVERIFY(img.save(path));
}

#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
qint64 heapKb()
{
    const struct mallinfo2 m = mallinfo2();
    return qint64((m.uordblks + m.hblkhd) / 1024);
}
#endif

// Folders made by the test a moment ago would tie with the run folder in the newest-first order.
void age(const QString& path, int days)
{
    const time_t t = time(nullptr) - days * 86400;
    utimbuf times{t, t};
    QCOMPARE(utime(QFile::encodeName(path).constData(), &times), 0);
}

QStringList allEntries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A stand-in with the receiver widget's accessors.
struct FakeReceiver {
    QWidget* spectrum;
    QWidget* spectrumPlot() const { return spectrum; }
    QWidget* oscPlot() const { return nullptr; }
    QString rangeText() const { return "0.1-60 MHz"; }
    QString gainText() const { return "20dB"; }
    QString stepText() const { return "10 kHz"; }
    bool diffOn() const { return true; }
    QString freqText() const { return "12.340"; }
    QString demodText() const { return "AM"; }
    QString timeText() const { return "1ms"; }
    quint8 frequencyMark(quint16 code) const { return code == 1234 ? 1 : 0; }
};
} // namespace

class TestReports : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initKv847Resources(); }

    void grid_data();
    void grid();
    void names_data();
    void names();
    void runFolders();
    void tile();
    void browser();
    void browserKeepsNoFullSizePictures();
    void thumbnailsReadOnlyWhatChanged();
    void refreshesRemakeOnlyChangedPages();
    void clearAllStartsNewRunFolder();
    void comparisonTableFollowsTheCompareButton();
    void failedWritesLeaveNothing();
    void unwritableFolderGivesErrorBoxes();
    void captionsNeverOverlap();
    void receiverValues();
    void captureEveryItem_data();
    void captureEveryItem();
};

void TestReports::grid_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("cell");
    QTest::newRow("1020 px") << 1020 << 5 << 200;
    QTest::newRow("1016 px") << 1016 << 4 << 249;
    QTest::newRow("narrow") << 720 << 4 << 175;
    QTest::newRow("249 x 5 exactly") << 1265 << 5 << 249;
    QTest::newRow("needs six") << 1270 << 6 << 208;
    QTest::newRow("wider than ten columns") << 4000 << 10 << 398;
}

void TestReports::grid()
{
    QFETCH(int, width);
    const Report::Grid g = Report::tileGrid(width);
    QTEST(g.columns, "columns");
    QTEST(g.cell, "cell");
}

void TestReports::names_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("file");
    QTest::newRow("lfa osc") << int(Item::LfaOsc) << false << "/LFA/lfa_osc_3-4_011649.png";
    QTest::newRow("lfa sw book") << int(Item::LfaSwitchBook) << false << "/LFA/lfa_sw_011649.xlsx";
    QTest::newRow("wrx spectrum") << int(Item::WrxSpec) << false << "/WRx/wrx_spec_3-4_011649.png";
    QTest::newRow("signal one") << int(Item::WrxSignalBook) << false << "/WRx/wrx_signal_3-4_011649.xlsx";
    QTest::newRow("signal all") << int(Item::WrxSignalBook) << true << "/WRx/wrx_signal_011649.xlsx";
    QTest::newRow("nljd") << int(Item::NljdHarmonics) << false << "/NLJD/nljd_3-4_011649.png";
    QTest::newRow("nljd sw") << int(Item::NljdSwitchShot) << false << "/NLJD/nljd_sw_011649.png";
    QTest::newRow("defects one") << int(Item::ReflDefectsBook) << false << "/REFL/refl_def_3-4_011649.xlsx";
    QTest::newRow("defects all") << int(Item::ReflDefectsBook) << true << "/REFL/refl_def_011649.xlsx";
    QTest::newRow("comparison") << int(Item::ReflCompareBook) << true << "/REFL/refl_comp_3-4_011649.xlsx";
}

void TestReports::names()
{
    QFETCH(int, item);
    QFETCH(bool, all);
    QTEST(Report::itemFile(Item(item), Report::pairLabel(3, 4), "011649", all), "file");
    QCOMPARE(Report::runFolderName(QDateTime(QDate(2026, 12, 7), QTime(1, 16, 49))),
             QString("D071226_T011649"));
}

void TestReports::runFolders()
{
    InTempDir tmp;
    QDir().mkpath("reports/D010126_T000000");     // nothing saved: goes
    QDir().mkpath("reports/D020126_T000000/LFA"); // an empty mode folder keeps it
    touch("reports/D030126_T000000/LFA/a.png");
    touch("reports/D030126_T000000/REFL/b.xlsx");
    touch("reports/D030126_T000000/REFL/notes.txt"); // counted, whatever its suffix
    touch("reports/D030126_T000000/other/c.png");    // not a mode folder
    age("reports/D020126_T000000", 2);
    age("reports/D030126_T000000", 1);
    const QString name = Report::startRunFolder("reports", QDateTime(QDate(2026, 12, 7), QTime(1, 16, 49)));
    QCOMPARE(name, QString("D071226_T011649"));
    QCOMPARE(QDir("reports").entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList({"D020126_T000000", "D030126_T000000", "D071226_T011649"}));

    const QList<Report::RunFolder> list = Report::runFolders("reports");
    QCOMPARE(list.size(), 3);
    QCOMPARE(list[0].name, name); // newest first
    QCOMPARE(list[0].files, 0);
    int counted = -1;
    for (const Report::RunFolder& f : list)
        if (f.name == "D030126_T000000")
            counted = f.files;
    QCOMPARE(counted, 3);
    Report::RunFolder shown{"x", QDateTime(QDate(2026, 12, 7), QTime(1, 16, 49)), 3};
    QCOMPARE(Report::runFolderText(shown, " files)"), QString("07/12/26 01:16:49    (3 files)"));
}

void TestReports::tile()
{
    InRepTab t(3, QPixmap(10, 10), "reports/x/NLJD/a.png", "a.png", "07/12/26 01:16:49", 100);
    QSignalSpy spy(&t, &InRepTab::repDelSig);
    QVERIFY(!t.deleteButton()->isVisibleTo(&t));
    t.setSelected(true);
    t.setSelected(true);
    QVERIFY(t.deleteButton()->isVisibleTo(&t));
    QCOMPARE(t.deleteButton()->geometry(), QRect(76, 0, 24, 24));
    t.deleteButton()->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy[0][0].toInt(), 3);
    QCOMPARE(spy[0][1].toString(), QString("reports/x/NLJD/a.png"));
    t.setSelected(false);
    t.setSelected(false);
    QVERIFY(!t.deleteButton()->isVisibleTo(&t));
}

void TestReports::browser()
{
    InTempDir tmp;
    FakePortWindowRig r;
    const QString run = r.w->runFolder();
    QVERIFY(QDir("reports/" + run).exists());
    QCOMPARE(r.ui()->listREP->topLevelItemCount(), 1);
    QVERIFY(r.ui()->listREP->topLevelItem(0)->text(0).endsWith("    (0 files)"));

    const QString lfa = "reports/" + run + "/LFA/";
    for (int i = 0; i < 4; ++i)
        writePng(lfa + QString("shot%1.png").arg(i));
    touch(lfa + "table.xlsx");
    touch(lfa + "notes.txt");
    writePng(lfa + "UPPER.PNG");
    r.ui()->tableLFA->resize(1020, 400);
    QMetaObject::invokeMethod(r.w.get(), "viewFile", Q_ARG(int, 1));
    QTableWidget* t = r.ui()->tableLFA;
    QCOMPARE(r.ui()->REPORT->itemText(0), QString("LFA data (7 files)"));
    QCOMPARE(r.ui()->REPORT->itemText(3), QString("REFL data (0 files)"));
    QCOMPARE(t->columnWidth(4), 200);
    QCOMPARE(t->columnWidth(5), 0);
    QCOMPARE(t->rowCount(), 1);
    QCOMPARE(t->rowHeight(0), 240);
    QVERIFY(t->item(0, 4) && !t->item(0, 5));

    r.ui()->tableLFA->resize(1016, 400);
    QMetaObject::invokeMethod(r.w.get(), "viewFile", Q_ARG(int, 0));
    QCOMPARE(t->rowCount(), 2);
    QVERIFY(t->item(1, 0) && !t->item(1, 1));
    auto tileAt = [&](int row, int col) { return qobject_cast<InRepTab*>(t->cellWidget(row, col)); };
    QVERIFY(tileAt(1, 0) && tileAt(0, 3));
    QVERIFY(tileAt(0, 0)->path().startsWith(lfa));

    // A click selects one tile; a click on an empty cell deselects all.
    emit t->cellClicked(0, 2);
    QVERIFY(tileAt(0, 2)->selected() && !tileAt(0, 1)->selected());
    emit t->cellClicked(1, 3);
    QVERIFY(!tileAt(0, 2)->selected());
    // A real click lands on the tile's picture and reaches the table.
    r.ui()->tabWidget->setCurrentIndex(4);
    r.ui()->REPORT->setCurrentIndex(0);
    r.w->show();
    QVERIFY(QTest::qWaitForWindowExposed(r.w.get()));
    QTest::mouseClick(tileAt(0, 1), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QVERIFY(tileAt(0, 1)->selected());

    emit t->cellDoubleClicked(1, 3);
    QCOMPARE(r.prompts.count("url"), 0);
    emit t->cellDoubleClicked(0, 1);
    QCOMPARE(r.prompts.asked.last().title, QUrl::fromLocalFile(tileAt(0, 1)->path()).toString());

    // Deleting asks first; "No" leaves everything as it was.
    const QString victim = tileAt(0, 0)->path();
    tileAt(0, 0)->deleteButton()->click();
    QCOMPARE(r.prompts.asked.last().kind, QString("question"));
    QCOMPARE(r.prompts.asked.last().title, QString("Attention!"));
    QVERIFY(QFile::exists(victim));
    QCOMPARE(r.ui()->REPORT->itemText(0), QString("LFA data (7 files)"));
    r.prompts.answers.enqueue(true);
    tileAt(0, 0)->deleteButton()->click();
    QVERIFY(!QFile::exists(victim));
    QCOMPARE(r.ui()->REPORT->itemText(0), QString("LFA data (6 files)"));

    // Another run folder: the tree lists both, a click shows its files.
    touch("reports/D010101_T000000/NLJD/old.png");
    age("reports/D010101_T000000", 1);
    QMetaObject::invokeMethod(r.w.get(), "createDIR");
    // In a later second the first run folder stays beside the new one: it holds files.
    const int folders = r.w->runFolder() == run ? 2 : 3;
    QCOMPARE(r.ui()->listREP->topLevelItemCount(), folders);
    QTreeWidgetItem* old = nullptr;
    for (int i = 0; i < folders; ++i)
        if (r.ui()->listREP->topLevelItem(i)->data(0, Qt::UserRole) == "D010101_T000000")
            old = r.ui()->listREP->topLevelItem(i);
    QVERIFY(old);
    QCOMPARE(r.ui()->listREP->topLevelItem(0)->data(0, Qt::UserRole).toString(), r.w->runFolder());
    r.ui()->listREP->setCurrentItem(old);
    QCOMPARE(r.w->viewedFolder(), QString("D010101_T000000"));
    QCOMPARE(r.ui()->REPORT->itemText(2), QString("NLJD data (1 files)"));
    emit r.ui()->listREP->itemDoubleClicked(old, 0);
    QCOMPARE(r.prompts.asked.last().title, QUrl::fromLocalFile("reports/D010101_T000000").toString());
}

void TestReports::browserKeepsNoFullSizePictures()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    InTempDir tmp;
    FakePortWindowRig r;
    // About 7.8 MB decoded: under the pixmap cache's 10 MB, so a cached copy would stay.
    QImage big(1400, 1400, QImage::Format_ARGB32);
    big.fill(Qt::darkCyan);
    const QString path = "reports/" + r.w->runFolder() + "/NLJD/big.png";
    QVERIFY(QDir().mkpath(QFileInfo(path).path()) && big.save(path));
    big = QImage();
    const qint64 before = heapKb();
    QMetaObject::invokeMethod(r.w.get(), "viewFile", Q_ARG(int, 3));
    QVERIFY(qobject_cast<InRepTab*>(r.ui()->tableNLD->cellWidget(0, 0)));
    QVERIFY2(heapKb() - before < 2048, qPrintable(QString("%1 kB kept").arg(heapKb() - before)));
#else
    QSKIP("needs glibc's allocator statistics");
#endif
}

void TestReports::thumbnailsReadOnlyWhatChanged()
{
    InTempDir tmp;
    writePng("a.png");
    writePng("b.png");
    Report::Thumbnails t;
    const auto refresh = [&t](const QStringList& paths, const QSize& size, qreal ratio = 1) {
        QList<qint64> keys;
        t.begin();
        for (const QString& p : paths)
            keys << t.get(QFileInfo(p), p, size, ratio).cacheKey();
        t.end();
        return keys;
    };
    const QList<qint64> first = refresh({"a.png", "b.png"}, {20, 20});
    QCOMPARE(t.decoded(), 2);
    QCOMPARE(refresh({"a.png", "b.png"}, {20, 20}), first);
    QCOMPARE(t.decoded(), 2);

    // Rewritten under the same name, a new size of tile, a sharper screen: made anew.
    QImage wider(60, 30, QImage::Format_RGB32);
    wider.fill(Qt::blue);
    QVERIFY(wider.save("b.png"));
    QVERIFY(refresh({"a.png", "b.png"}, {20, 20}).at(1) != first.at(1));
    QCOMPARE(t.decoded(), 3);
    refresh({"a.png"}, {30, 30});
    QCOMPARE(t.decoded(), 4);
    t.begin();
    const QPixmap sharp = t.get(QFileInfo("a.png"), "a.png", {30, 30}, 2);
    t.end();
    QCOMPARE(sharp.size(), QSize(60, 60));
    QCOMPARE(sharp.devicePixelRatio(), 2.0);

    // What a refresh no longer shows is let go; what cannot be read is a null picture.
    QCOMPARE(t.size(), 1);
    refresh({}, {30, 30});
    QCOMPARE(t.size(), 0);
    touch("broken.png", "not a picture");
    t.begin();
    QVERIFY(t.get(QFileInfo("broken.png"), "broken.png", {30, 30}, 1).isNull());
    t.end();
}

void TestReports::refreshesRemakeOnlyChangedPages()
{
    InTempDir tmp;
    FakePortWindowRig r;
    const QString lfa = "reports/" + r.w->runFolder() + "/LFA/";
    for (int i = 0; i < 8; ++i)
        writePng(lfa + QString("shot%1.png").arg(i));
    QTableWidget* t = r.ui()->tableLFA;
    const auto refresh = [&r](int width) {
        r.ui()->tableLFA->resize(width, 400);
        QMetaObject::invokeMethod(r.w.get(), "viewFile", Q_ARG(int, 0));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    refresh(1020);
    QWidget* tile = t->cellWidget(0, 0);
    emit t->cellClicked(0, 0);
    refresh(1020);
    QCOMPARE(t->cellWidget(0, 0), tile);
    QVERIFY(qobject_cast<InRepTab*>(tile)->selected());
    refresh(800);
    QVERIFY(t->cellWidget(0, 0) != tile);

#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    // Pages made anew again and again leave nothing behind: dropped rows used to leave each tile's
    // address in the view, some 40 bytes a tile.
    for (int i = 0; i < 20; ++i)
        refresh(i % 2 ? 1020 : 800);
    const qint64 before = heapKb();
    for (int i = 0; i < 400; ++i)
        refresh(i % 2 ? 1020 : 800);
    QVERIFY2(heapKb() - before < 40, qPrintable(QString("%1 kB kept").arg(heapKb() - before)));
#endif
}

void TestReports::clearAllStartsNewRunFolder()
{
    InTempDir tmp;
    FakePortWindowRig r;
    const QString first = r.w->runFolder();
    QDir().mkpath("reports/D010101_T000000"); // an empty folder of an earlier run
    writePng("reports/" + first + "/NLJD/kept.png");
    const QDateTime started = QDateTime::currentDateTime();
    QTRY_VERIFY(QDateTime::currentDateTime().toString("ss") != started.toString("ss"));
    r.prompts.answers.enqueue(true);
    r.w->clearAll();
    QVERIFY(r.w->runFolder() != first);
    QCOMPARE(r.w->viewedFolder(), r.w->runFolder());
    QCOMPARE(QDir("reports").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
    QCOMPARE(r.ui()->listREP->topLevelItemCount(), 2);
    QCOMPARE(r.ui()->REPORT->itemText(2), QString("NLJD data (0 files)"));
}

void TestReports::comparisonTableFollowsTheCompareButton()
{
    InTempDir tmp;
    FakePortWindowRig r;
    r.ui()->tabWidget->setCurrentIndex(3);
    QVERIFY(!r.ui()->cbREP47->isEnabled());
    // No file chosen: the comparison turns itself off again.
    r.ui()->refComp->click();
    QVERIFY(!r.ui()->refComp->isChecked());
    r.ui()->addREP->click();
    QVERIFY(r.ui()->repWIND4->isVisibleTo(r.w.get()));
    QVERIFY(!r.ui()->cbREP47->isEnabled());
    r.ui()->cbREP43->setChecked(false);
    QVERIFY(!r.ui()->cbREP44->isEnabled());
    r.ui()->addREP4->click();
    QCOMPARE(QDir("reports/" + r.w->runFolder() + "/REFL").entryList(QDir::Files).size(), 2);
}

void TestReports::failedWritesLeaveNothing()
{
    InTempDir tmp;
    // The target is a folder: the file can be written only under its temporary name.
    QDir().mkpath("out/book.xlsx/inside");
    QDir().mkpath("out/shot.png/inside");
    Xlsx::Document d;
    d.write(1, 1, "title");
    QVERIFY(!d.saveAs("out/book.xlsx"));
    QVERIFY(!Report::saveImage(QImage(10, 10, QImage::Format_RGB32), "out/shot.png"));
    QCOMPARE(allEntries("out"), QStringList({"book.xlsx", "shot.png"}));
    QVERIFY(d.saveAs("out/good.xlsx"));
    QCOMPARE(allEntries("out"), QStringList({"book.xlsx", "good.xlsx", "shot.png"}));
}

void TestReports::unwritableFolderGivesErrorBoxes()
{
    InTempDir tmp;
    FakePortWindowRig r;
    // A plain file where the mode folder should be: nothing can be written below it.
    const QString base = "reports/" + r.w->runFolder();
    touch(base + "/LFA");
    r.ui()->addREP->click();
    r.ui()->addREP1->click();
    QCOMPARE(r.prompts.count("warning"), 4);
    QStringList texts;
    for (const ScriptedPrompts::Asked& a : r.prompts.asked) {
        QCOMPARE(a.title, QString("Save Error"));
        texts << a.text;
    }
    QVERIFY(texts[0].startsWith("The image could not be saved to \""));
    QVERIFY(texts[0].contains(QDir::toNativeSeparators(base + "/LFA/lfa_osc_0-0_")));
    QVERIFY(texts[3].startsWith("The table could not be saved to \""));
    QVERIFY(texts[3].contains("lfa_sw_"));
    QCOMPARE(allEntries(base), QStringList("LFA"));
}

void TestReports::captionsNeverOverlap()
{
    QPixmap grab(300, 100);
    grab.fill(Qt::black);
    Report::ShotLayout s = Report::lfaSpecShot("07/12/26 01:16", "3-4", "20dB", "0V");
    s.captions[1].text = QString(60, 'W'); // runs far past where the next one starts
    const QImage img = Report::composeShot(grab, s);
    QCOMPARE(img.size(), QSize(310, 150));
    QCOMPARE(img.pixelColor(305, 5), QColor(53, 53, 53));
    QCOMPARE(img.pixelColor(100, 50), QColor(Qt::black)); // the grab 10 px down
    QCOMPARE(img.pixelColor(100, 5), QColor(53, 53, 53));
    // No white text column shows up right after the long caption's own end: the next one moved.
    const int longEnd = 180 + QFontMetrics([] {
                                  QFont f;
                                  f.setPixelSize(14);
                                  return f;
                              }())
                                  .horizontalAdvance(s.captions[1].text);
    int firstLit = -1;
    for (int x = longEnd + 1; x < img.width() && firstLit < 0; ++x)
        for (int y = img.height() - 30; y < img.height() && firstLit < 0; ++y)
            if (img.pixelColor(x, y).lightness() > 150)
                firstLit = x;
    QVERIFY(firstLit < 0 || firstLit >= longEnd + 6);
}

void TestReports::receiverValues()
{
    InTempDir tmp;
    QWidget plot;
    plot.resize(200, 120);
    FakeReceiver rx{&plot};
    const Report::ReceiverView v = Report::receiverView(rx);
    QCOMPARE(v.mark(1234), quint8(1));
    QCOMPARE(v.mark(1235), quint8(0));
    Report::CaptureRun run("reports/R", QDateTime(QDate(2026, 12, 7), QTime(1, 16, 49)), "3-4");
    QVERIFY(run.shot(Item::WrxSpec, v.spectrumPlot,
                     Report::wrxSpecShot(run.date(), run.pair(), v.range, v.gain, v.step, v.diff)));
    QVERIFY(!run.shot(Item::WrxOsc, v.oscPlot, Report::ShotLayout()));
    QCOMPARE(QImage("reports/R/WRx/wrx_spec_3-4_011649.png").size(), QSize(210, 170));
    QCOMPARE(allEntries("reports/R/WRx"), QStringList("wrx_spec_3-4_011649.png"));
}

void TestReports::captureEveryItem_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("files"); // T stands for the capture time, P for the pair
    QTest::newRow("LFA") << 0
                         << QStringList{"lfa_osc_P_T.png", "lfa_spec_P_T.png", "lfa_sw_T.png",
                                        "lfa_sw_T.xlsx"};
    QTest::newRow("WRx") << 1
                         << QStringList{"wrx_spec_P_T.png", "wrx_osc_P_T.png", "wrx_sw_T.png",
                                        "wrx_sw_T.xlsx", "wrx_signal_T.xlsx"};
    QTest::newRow("NLJD") << 2 << QStringList{"nljd_P_T.png", "nljd_sw_T.png"};
    QTest::newRow("REFL") << 3
                          << QStringList{"refl_P_T.png", "refl_sw_T.png", "refl_def_T.xlsx",
                                         "refl_comp_P_T.xlsx"};
}

void TestReports::captureEveryItem()
{
    QFETCH(int, tab);
    QFETCH(QStringList, files);
    InTempDir tmp;
    AnalyserWindowRig r([](VirtualAnalyser& a) {
        static_cast<ReflMode*>(a.modeHandler(VirtualAnalyser::ModeRefl))->setStepInterval(1);
    });
    r.connectNow();
    r.ui()->tabWidget->setCurrentIndex(tab);
    r.settle();
    const int pair = 1;
    r.w->swClick(pair, 1);
    r.settle();
    for (int i = 0; i < 4; ++i) {
        r.analyser.tick();
        r.settle();
    }
    if (tab == 3) {
        r.ui()->refTEST->click();
        QTRY_VERIFY(r.w->pairStore()[pair].dataFlags & DataFlag::reflValid);
        QFile f("saved.refl");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(Refl::encodeFile(r.w->reflState().reflFactor, r.w->pairStore(), "c"));
        f.close();
        r.prompts.fileNames.enqueue("saved.refl");
        r.ui()->refComp->click();
        QVERIFY(r.ui()->refComp->isChecked());
    }

    QFrame* panels[] = {r.ui()->repWIND1, r.ui()->repWIND2, r.ui()->repWIND3, r.ui()->repWIND4};
    QPushButton* adds[] = {r.ui()->addREP1, r.ui()->addREP2, r.ui()->addREP3, r.ui()->addREP4};
    r.ui()->addREP->click();
    for (int i = 0; i < 4; ++i)
        QCOMPARE(panels[i]->isVisibleTo(r.w.get()), i == tab);
    adds[tab]->click();
    QVERIFY(!r.ui()->addREP->isChecked());
    QVERIFY(panels[tab]->isHidden());
    QCOMPARE(r.prompts.count("warning"), 0);

    const QString folder = "reports/" + r.w->runFolder() + "/" + Report::modeFolder(tab + 1);
    const QStringList written = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(written.size(), files.size());
    const PairWires w = pairWires(pair);
    for (const QString& f : files) {
        QString pattern = QRegularExpression::escape(f);
        pattern.replace("P", Report::pairLabel(w.a, w.b)).replace("T", "\\d{6}");
        QVERIFY2(!written.filter(QRegularExpression("^" + pattern + "$")).isEmpty(), qPrintable(f));
    }
    for (const QString& f : written)
        if (f.endsWith(".png"))
            QVERIFY2(!QImage(folder + "/" + f).isNull(), qPrintable(f));
    if (tab == 0) {
        const QImage osc(folder + "/" + written.filter("lfa_osc_").first());
        QCOMPARE(osc.size(), r.w->osc()->oscPlot()->size() + QSize(10, 50));
    }
    // The report page shows the new files as tiles.
    QTableWidget* pages[] = {r.ui()->tableLFA, r.ui()->tableWRX, r.ui()->tableNLD, r.ui()->tableREF};
    QVERIFY(r.ui()->REPORT->itemText(tab).endsWith(QString(" (%1 files)").arg(files.size())));
    QVERIFY(qobject_cast<InRepTab*>(pages[tab]->cellWidget(0, 0)));
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
