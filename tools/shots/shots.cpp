// Developer tool: grabs the main window on the virtual analyser, one picture per tab and per state
// worth seeing, every box and file dialog the program can put up (OUTDIR/boxes, with index.txt), the
// plots' position readouts and the tool tips, so a change of the layout or of a translation can be
// looked at without a display. Usage: kv847-shots OUTDIR [WIDTHxHEIGHT] [--ru]
// (--ru: in Russian; the translations are looked up as the program does, so run it from build/).
// tools/shots/shots.sh OUTDIR makes both languages in one go.
#include "app/mainwindow.h"
#include "pairs/pairnumbering.h"
#include "pairs/setsw.h"
#include "pictureprompts.h"
#include "shell/darkstyle.h"
#include "shotkit.h"
#include "sim/mode_firmware.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"
#include "tours.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>

using namespace Shots;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(new DarkStyle);
    // The report tree of the captures below goes into the output folder too.
    const QString out = QDir(argc > 1 ? argv[1] : "shots").absolutePath();
    QSize size(991, 677);
    if (argc > 2) {
        const QStringList wh = QString(argv[2]).split('x');
        if (wh.size() == 2)
            size = QSize(wh[0].toInt(), wh[1].toInt());
    }
    QDir().mkpath(out);
    // The translations are looked up in the working directory: bring them along.
    for (const char* qm : {"KV847_eng.qm", "KV847_ru.qm"}) {
        QFile::remove(out + "/" + qm);
        QFile::copy(qm, out + "/" + qm);
    }
    QDir::setCurrent(out);
    VirtualAnalyser analyser;
    // Every box is photographed and dismissed at once, so none stops the tour.
    QWidget boxParent;
    PicturingPrompts prompts(&boxParent, out + "/boxes");
    MainWindow w(nullptr, new VirtualAnalyserPort(analyser), &prompts);
    w.resize(size);
    w.show();
    if (app.arguments().contains(QStringLiteral("--ru")))
        w.form()->cbLang->setCurrentIndex(1);
    waitMs(2500);
    const char* names[] = {"lfa", "wrx", "nljd", "refl", "report", "update"};
    for (int tab = 0; tab < 6; ++tab) {
        w.form()->tabWidget->setCurrentIndex(tab);
        if (tab == 0) {
            // Data flow only while a pair is selected.
            QMetaObject::invokeMethod(&w, "swClick", Q_ARG(int, pairWithMains(analyser.cable())),
                                      Q_ARG(int, 1));
            // 10 V/div, so that a mains-sized trace fits the screen.
            if (auto* vdivDown = w.findChild<QPushButton*>("vdivLeft"))
                vdivDown->click();
            waitMs(1500);
        }
        if (tab == 1) {
            QMetaObject::invokeMethod(&w, "swClick", Q_ARG(int, pairWithCarriers(analyser.cable())),
                                      Q_ARG(int, 1));
            waitMs(1500);
            w.grab().save(QStringLiteral("%1/wrx-sweep.png").arg(out));
            // Fixed on the marker: the level oscilloscope runs.
            if (auto* search = w.findChild<QPushButton*>("search"))
                search->click();
            waitMs(1500);
        }
        if (tab == 2) {
            QMetaObject::invokeMethod(&w, "swClick", Q_ARG(int, pairWithJunction(analyser.cable())),
                                      Q_ARG(int, 1));
            waitMs(1500);
        }
        if (tab == 3) {
            // Set 1 the pair with the nearest fault, Set 2 the pair after it.
            const int pair = pairWithNearFault(analyser.cable());
            QMetaObject::invokeMethod(&w, "swClick", Q_ARG(int, pair), Q_ARG(int, 1));
            w.form()->refTEST->click();
            waitMs(1600);
            QMetaObject::invokeMethod(w.form()->refTAB2, "cellPressed", Q_ARG(int, 1), Q_ARG(int, 1));
            QMetaObject::invokeMethod(&w, "swClick", Q_ARG(int, pair % PairCount + 1), Q_ARG(int, 1));
            w.form()->refTEST->click();
            waitMs(1600);
        }
        waitMs(600);
        w.grab().save(QStringLiteral("%1/%2.png").arg(out, names[tab]));
    }

    tourStates(w, prompts, analyser, out);
    tourTrackers(w, out);
    tourToolTips(w, out);
    tourBoxes(w, prompts, analyser, out);
    tourUnstageableBoxes(prompts, out);
    tourReportErrors(w, out);

    // The cable switch panel, twisted and then non-twisted (a press on the right-hand connector).
    w.form()->tabWidget->setCurrentIndex(0);
    w.form()->swSET->setChecked(true);
    waitMs(300);
    w.grab().save(QStringLiteral("%1/switch-twisted.png").arg(out));
    if (QWidget* panel = w.cableSwitch()) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(250, 80), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(panel, &press);
    }
    waitMs(300);
    w.grab().save(QStringLiteral("%1/switch-plain.png").arg(out));
    w.form()->swSET->setChecked(false);

    // "Add to report" on every measuring tab, then the Report tab with its tiles.
    QPushButton* adds[] = {w.form()->addREP1, w.form()->addREP2, w.form()->addREP3, w.form()->addREP4};
    const int pairs[] = {pairWithMains(analyser.cable()), 1, pairWithJunction(analyser.cable()),
                         pairWithNearFault(analyser.cable())};
    for (int tab = 0; tab < 4; ++tab) {
        w.form()->tabWidget->setCurrentIndex(tab);
        QMetaObject::invokeMethod(&w, "swClick", Q_ARG(int, pairs[tab]), Q_ARG(int, 1));
        if (tab == 3)
            w.form()->refTEST->click();
        waitMs(1600);
        w.form()->addREP->click();
        waitMs(100);
        if (tab == 0)
            w.grab().save(QStringLiteral("%1/capture-panel.png").arg(out));
        adds[tab]->click();
        waitMs(100);
    }
    w.form()->tabWidget->setCurrentIndex(4);
    w.form()->REPORT->setCurrentIndex(0);
    waitMs(600);
    w.grab().save(QStringLiteral("%1/report-tiles.png").arg(out));
    w.form()->REPORT->setCurrentIndex(3);
    waitMs(300);
    w.grab().save(QStringLiteral("%1/report-tiles-refl.png").arg(out));

    // A firmware update: file chosen, running, and after the analyser came back.
    w.form()->tabWidget->setCurrentIndex(5);
    const QString firmware = QDir(out).filePath("demo-firmware.bin");
    QFile image(firmware);
    if (image.open(QIODevice::WriteOnly))
        image.write(FirmwareMode::demoImage(2, 10, 48 * 1024));
    image.close();
    prompts.script.fileNames.enqueue(firmware);
    w.form()->But_Browse->click();
    waitMs(300);
    w.grab().save(QStringLiteral("%1/update-chosen.png").arg(out));
    w.form()->But_Reprog->click();
    waitMs(1500);
    w.grab().save(QStringLiteral("%1/update-running.png").arg(out));
    QElapsedTimer t;
    t.start();
    while (prompts.script.count("information") == 0 && t.elapsed() < 20000)
        waitMs(50);
    w.grab().save(QStringLiteral("%1/update-done.png").arg(out));
    waitMs(3000);
    w.grab().save(QStringLiteral("%1/update-reconnected.png").arg(out));
    printf("%d boxes and dialogs in %s/boxes\n", prompts.pictures(), qPrintable(out));
    return 0;
}
