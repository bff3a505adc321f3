// Language switching: where the translations are found, what a switch relabels, and what it leaves.
#include "app/translations.h"
#include "modes/lfa/lfamessages.h"
#include "modes/lfa/osc.h"
#include "modes/wrx/rx.h"
#include "pairs/pairnumbering.h"
#include "reporting/reportshots.h"
#include "windowrigs.h"

#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <qwt_plot.h>
#include <qwt_plot_textlabel.h>

namespace
{
const QString QmDir = QStringLiteral(KV847_QM_DIR);

QString plotTitle(QwtPlot* plot)
{
    const QwtPlotItemList labels = plot->itemList(QwtPlotItem::Rtti_PlotTextLabel);
    QString titles;
    for (QwtPlotItem* item : labels)
        titles += static_cast<QwtPlotTextLabel*>(item)->text().text();
    return titles;
}

// The texts a switch must turn: the shell title, the pair header, the LFA titles and idle Vpp caption,
// a REFL legend, a tab of the form, the receiver's plot titles, the word of the run folders' file
// counts and a caption of the report pictures.
struct Shown {
    QString title, colour, pairHeader, lfaTitles, legend, tab, wrxTitles, runFolderCount, reportCaption;
};

Shown shown(FakePortWindowRig& r, const QSignalSpy& titles)
{
    const QList<QVariant> last = titles.isEmpty() ? QList<QVariant>{QString(), QString()} : titles.last();
    return {last.at(0).toString(),
            last.at(1).toString(),
            r.ui()->swTAB->item(0, 0)->text(),
            plotTitle(r.w->osc()->oscPlot()) + "|" + plotTitle(r.w->osc()->specPlot()),
            r.ui()->label_25->text(),
            r.ui()->tabWidget->tabText(0),
            plotTitle(static_cast<QwtPlot*>(r.w->rx()->spectrumPlot())) + "|" +
                plotTitle(static_cast<QwtPlot*>(r.w->rx()->oscPlot())),
            r.ui()->listREP->topLevelItem(0)->text(0).section(' ', -1),
            Report::reflSwitchShot(QString(), "1.50").captions.last().text};
}
} // namespace

class TestLang : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void lookupTakesTheFirstLoadableFile_data();
    void lookupTakesTheFirstLoadableFile();
    void switchesToRussianAndBack_data();
    void switchesToRussianAndBack();
    void switchKeepsScanAndMeasurement();
    void qtOwnButtonsFollow();

private:
    QTemporaryDir m_cwd; // the working directory, where the program looks first
};

void TestLang::initTestCase()
{
    QVERIFY(m_cwd.isValid());
    for (const char* name : {"KV847_eng.qm", "KV847_ru.qm"})
        QVERIFY(QFile::copy(QmDir + "/" + name, m_cwd.filePath(name)));
    QVERIFY(QDir::setCurrent(m_cwd.path()));
}

void TestLang::lookupTakesTheFirstLoadableFile_data()
{
    QTest::addColumn<QStringList>("first");  // files in the first folder
    QTest::addColumn<QStringList>("second"); // files in the second folder
    QTest::addColumn<int>("expected");       // folder loaded from, 0 for none

    const QString good = "KV847_ru.qm", bare = "KV847_ru", broken = "broken:KV847_ru.qm";
    QTest::newRow("only the second") << QStringList{} << QStringList{good} << 2;
    QTest::newRow("both: the first") << QStringList{good} << QStringList{good} << 1;
    QTest::newRow("unreadable first") << QStringList{broken} << QStringList{good} << 2;
    QTest::newRow("name without suffix") << QStringList{bare} << QStringList{} << 1;
    QTest::newRow("none") << QStringList{} << QStringList{} << 0;
}

void TestLang::lookupTakesTheFirstLoadableFile()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(int, expected);
    QTemporaryDir a, b;
    const auto fill = [](const QTemporaryDir& dir, const QStringList& files) {
        for (QString f : files) {
            if (f.startsWith("broken:")) {
                QFile junk(dir.filePath(f.mid(7)));
                QVERIFY(junk.open(QIODevice::WriteOnly));
                junk.write("not a translation");
            } else {
                QVERIFY(QFile::copy(QmDir + "/KV847_ru.qm", dir.filePath(f)));
            }
        }
    };
    fill(a, first);
    fill(b, second);

    QTranslator t;
    QVERIFY(t.load(QmDir + "/KV847_ru.qm")); // holds something before the lookup
    QCOMPARE(Translations::load(t, "KV847_ru", {a.path(), b.path()}), expected != 0);
    const QString from = t.filePath().isEmpty() ? QString() : QFileInfo(t.filePath()).absolutePath();
    QCOMPARE(from, expected == 0 ? QString() : QFileInfo((expected == 1 ? a : b).path()).absoluteFilePath());
    QCOMPARE(t.isEmpty(), expected == 0);
}

void TestLang::switchesToRussianAndBack_data()
{
    QTest::addColumn<bool>("englishFile");
    QTest::addColumn<int>("keepAlives"); // unanswered watchdog runs before the switch
    QTest::newRow("connected") << true << 0;
    QTest::newRow("connected, answers overdue") << true << 6;
    QTest::newRow("English file missing") << false << 0;
}

void TestLang::switchesToRussianAndBack()
{
    QFETCH(bool, englishFile);
    QFETCH(int, keepAlives);
    const QString eng = m_cwd.filePath("KV847_eng.qm");
    if (!englishFile)
        QVERIFY(QFile::rename(eng, eng + ".away"));

    FakePortWindowRig r;
    r.connectAnalyser();
    for (int i = 0; i < keepAlives; ++i)
        r.w->openSerialPort();
    QCOMPARE(r.w->linkState() >= 2, true);
    QSignalSpy titles(r.w.get(), &MainWindow::setWindowTitle);

    r.ui()->cbLang->setCurrentIndex(1);
    const Shown russian{"KV847: подключено", "#55ff55", "Пара", "Осциллограф:Размах: 0.0v |Спектр:", "№ 1", "НЧ",
                         "Спектр:|Осциллограф:", "шт.)", "КУ: 1.50"};
    const auto check = [&](const Shown& want) {
        const Shown now = shown(r, titles);
        QCOMPARE(now.title, want.title);
        QCOMPARE(now.colour, want.colour);
        QCOMPARE(now.pairHeader, want.pairHeader);
        QCOMPARE(now.lfaTitles, want.lfaTitles);
        QCOMPARE(now.legend, want.legend);
        QCOMPARE(now.tab, want.tab);
        QCOMPARE(now.wrxTitles, want.wrxTitles);
        QCOMPARE(now.runFolderCount, want.runFolderCount);
        QCOMPARE(now.reportCaption, want.reportCaption);
    };
    check(russian);
    QCOMPARE(Lfa::vppCaption(1234, 1), QString("Размах: 1234 mV "));
    // The language-change events Qt delivers afterwards relabel the form again; nothing falls back.
    QCoreApplication::processEvents();
    check(russian);

    r.ui()->cbLang->setCurrentIndex(0);
    QCoreApplication::processEvents();
    check({"KV847: connected", "#55ff55", "PAIR", "Oscilloscope:Vpp: 0.0v |Spectrum:", "Set 1", "LFA",
           "Spectrum:|Oscilloscope:", "files)", "Factor: 1.50"});
    QCOMPARE(r.ui()->cbLang->itemText(1), QString(" Russian"));

    if (!englishFile)
        QVERIFY(QFile::rename(eng + ".away", eng));
}

void TestLang::switchKeepsScanAndMeasurement()
{
    FakePortWindowRig r;
    r.connectAnalyser();
    r.ui()->tabWidget->setCurrentIndex(3);
    r.w->swClick(5, 0);
    r.ui()->scanAll->setChecked(true);
    QVERIFY(r.w->scanning());
    const PairWires wires = pairWires(5);
    r.w->actionUSB(QByteArray("T\x00\x00", 3) + char(wires.a) + char(wires.b) + '\0');
    QVERIFY(r.w->measuring());
    r.log.clear();

    r.ui()->cbLang->setCurrentIndex(1);
    QCoreApplication::processEvents();

    QVERIFY(r.w->scanning());
    QVERIFY(r.w->measuring());
    QVERIFY(r.ui()->scanAll->isChecked());
    QCOMPARE(r.w->currentPair(), quint8(5));
    for (int c = 0; c < 4; ++c)
        QVERIFY(r.ui()->swTAB->item(5, c)->isSelected());
    QCOMPARE(r.ui()->refTAB1->item(11, 0)->text(), QString("Измерение..."));
    QVERIFY(r.log.isEmpty()); // no pair re-selected, no measurement restarted
    r.ui()->cbLang->setCurrentIndex(0);
}

void TestLang::qtOwnButtonsFollow()
{
    if (!QFile::exists(QLibraryInfo::location(QLibraryInfo::TranslationsPath) + "/qtbase_ru.qm"))
        QSKIP("Qt's own Russian translation is not installed (qttranslations5-l10n)");
    const auto cancel = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Cancel);
        return box.button(QMessageBox::Cancel)->text();
    };
    FakePortWindowRig r;
    r.w->changeLang(1);
    r.w->changeLang(1); // reloaded, not stacked: one switch back is enough
    QCOMPARE(cancel(), QString("Отмена"));
    r.w->changeLang(0);
    QCOMPARE(cancel(), QString("Cancel"));
}

QTEST_MAIN(TestLang)
#include "tst_lang.moc"
