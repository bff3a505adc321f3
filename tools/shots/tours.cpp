#include "tours.h"

#include "app/mainwindow.h"
#include "app/porterror.h"
#include "modes/lfa/osc.h"
#include "modes/wrx/rx.h"
#include "pairs/pairnumbering.h"
#include "pictureprompts.h"
#include "shotkit.h"
#include "sim/mode_firmware.h"
#include "sim/virtualanalyser.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QTextStream>
#include <QToolTip>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_slider.h>

namespace Shots
{
namespace
{
QString writeJunk(const QString& dir, const QString& name)
{
    const QString path = QDir(dir).filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write("this is not what the program wrote\n");
    return path;
}

void select(MainWindow& w, int tab, int pair)
{
    w.form()->tabWidget->setCurrentIndex(tab);
    QMetaObject::invokeMethod(&w, "swClick", Q_ARG(int, pair), Q_ARG(int, 1));
}

FirmwareMode* firmwareMode(VirtualAnalyser& analyser)
{
    return dynamic_cast<FirmwareMode*>(analyser.modeHandler(VirtualAnalyser::ModeFirmware));
}

QPushButton* button(MainWindow& w, const char* name)
{
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
}

struct DataFileButtons {
    QPushButton* panel;
    QLineEdit* comment;
    QPushButton* save;
    QPushButton* load;
    QPushButton* compare;
};

void saveLoadCompare(MainWindow& w, PicturingPrompts& prompts, const DataFileButtons& b, const QString& out,
                     const QString& mode)
{
    b.panel->setChecked(true);
    b.comment->setText(QStringLiteral("KV847"));
    waitMs(200);
    save(w, out, mode + "-save-panel");
    const QString file = QDir(out).filePath("demo." + mode);
    prompts.script.fileNames.enqueue(file);
    b.save->click();
    prompts.script.fileNames.enqueue(file);
    b.load->click();
    b.compare->setChecked(true);
    waitMs(1600);
    save(w, out, mode + "-compare");
    b.compare->setChecked(false);
}

QString mw(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}
} // namespace

void tourBoxes(MainWindow& w, PicturingPrompts& prompts, VirtualAnalyser& analyser, const QString& work)
{
    Ui::MainWindow* ui = w.form();
    const QString missing = QDir(work).filePath("no-such-folder/file");

    // The pair list: clearing everything asks first (answered "No").
    w.clearAll();

    // NLJD: a foreign file, a file that cannot be written, a file that cannot be renamed into place.
    select(w, 2, pairWithJunction(analyser.cable()));
    waitMs(800);
    prompts.script.fileNames.enqueue(writeJunk(work, "junk.nljd"));
    ui->nldLoad->click();
    prompts.script.fileNames.enqueue(missing);
    ui->nldLoad->click();
    ui->nldSave->setChecked(true);
    prompts.script.fileNames.enqueue(missing + ".nljd");
    ui->nldSave2->click();
    ui->nldSave->setChecked(false);

    // REFL: a foreign file, a factor change (answered "Yes"), a file of the other factor.
    select(w, 3, pairWithNearFault(analyser.cable()));
    ui->refTEST->click();
    waitMs(1600);
    const QString refl = QDir(work).filePath("factor.refl");
    ui->refSave->setChecked(true);
    prompts.script.fileNames.enqueue(refl);
    ui->refSave2->click();
    prompts.script.fileNames.enqueue(writeJunk(work, "junk.refl"));
    ui->refLoad->click();
    const QString factor = ui->refFAC->text();
    ui->refFAC->setText(QStringLiteral("1.6"));
    prompts.script.answers.enqueue(true);
    ui->refRIGHT->click();
    waitMs(300);
    prompts.script.fileNames.enqueue(refl);
    ui->refLoad->click();
    ui->refFAC->setText(factor);
    prompts.script.answers.enqueue(true);
    ui->refRIGHT->click();
    waitMs(300);

    // WRx: a second search on a pair that has a signal list asks first.
    select(w, 1, pairWithCarriers(analyser.cable()));
    waitMs(800);
    if (QPushButton* search = button(w, "search")) {
        if (search->isChecked())
            search->click();
        waitMs(300);
        search->click();
        waitMs(300);
    }

    // Firmware: a file that is not there, a file that is not a firmware, a transfer the analyser refuses.
    ui->tabWidget->setCurrentIndex(5);
    waitMs(300);
    const auto start = [&](const QString& path) {
        prompts.script.fileNames.enqueue(path);
        ui->But_Browse->click();
        ui->But_Reprog->click();
    };
    start(missing + ".bin");
    start(writeJunk(work, "junk.bin"));
    if (FirmwareMode* fw = firmwareMode(analyser))
        fw->setFault(FirmwareMode::Fault::Refuse, 2);
    const QString image = QDir(work).filePath("refused.bin");
    QFile f(image);
    if (f.open(QIODevice::WriteOnly))
        f.write(FirmwareMode::demoImage(2, 10, 8 * 1024));
    f.close();
    const int errors = prompts.script.count("critical");
    start(image);
    QElapsedTimer t;
    t.start();
    while (prompts.script.count("critical") == errors && t.elapsed() < 20000)
        waitMs(50);
    // The analyser comes back after the failed transfer.
    t.restart();
    while (w.linkState() < 2 && t.elapsed() < 10000)
        waitMs(50);

    // Reports: deleting a picture asks first (answered "No").
    QMetaObject::invokeMethod(&w, "delClick", Q_ARG(int, 1), Q_ARG(QString, missing));
}

void tourUnstageableBoxes(PicturingPrompts& prompts, const QString& work)
{
    // The port errors need a real device: a port we may not open, one that another program holds.
    const QString busy = QDir(work).filePath("ttyUSB0");
    QFile device(busy);
    if (device.open(QIODevice::WriteOnly))
        device.close();
    const QString denied = QStringLiteral("/dev/kv847-not-for-this-user");
    prompts.critical(mw("Error"),
                     portOpenErrorText(QSerialPort::PermissionError, denied, "Permission denied"));
    prompts.critical(mw("Error"), portOpenErrorText(QSerialPort::PermissionError, busy, "Permission denied"));
    // A write that fails after the file was opened (a full disk).
    prompts.critical(mw("Error"), mw("Could not save file"));
}

void tourStates(MainWindow& w, PicturingPrompts& prompts, VirtualAnalyser& analyser, const QString& out)
{
    Ui::MainWindow* ui = w.form();

    // NLJD and REFL: the save panel with a comment, then the comparison against the file just written.
    select(w, 2, pairWithJunction(analyser.cable()));
    waitMs(1200);
    saveLoadCompare(w, prompts, {ui->nldSave, ui->nldTXT, ui->nldSave2, ui->nldLoad, ui->nldComp}, out,
                    "nljd");
    // The verdicts in their small box: probed at another level than the file's, a pair not in the file.
    ui->nldComp->setChecked(true);
    ui->slNLD->setValue(ui->slNLD->value() - 20);
    waitMs(1600);
    save(w, out, "nljd-compare-level");
    select(w, 2, pairWithJunction(analyser.cable()) % PairCount + 1);
    waitMs(1600);
    save(w, out, "nljd-compare-not-in-file");
    ui->nldComp->setChecked(false);
    ui->slNLD->setValue(ui->slNLD->value() + 20);
    select(w, 3, pairWithNearFault(analyser.cable()));
    ui->refTEST->click();
    waitMs(1600);
    saveLoadCompare(w, prompts, {ui->refSave, ui->refTXT, ui->refSave2, ui->refLoad, ui->refComp}, out,
                    "refl");
    // The verdict line over the tables: a pair measured now that the file does not hold.
    ui->refComp->setChecked(true);
    select(w, 3, (pairWithNearFault(analyser.cable()) + 2) % PairCount + 1);
    ui->refTEST->click();
    waitMs(1600);
    save(w, out, "refl-compare-not-in-file");
    ui->refComp->setChecked(false);

    // WRx: a pair the search has not been run on, and one where it finds nothing.
    if (QPushButton* search = button(w, "search"))
        if (search->isChecked())
            search->click();
    select(w, 1, pairWithoutCarriers(analyser.cable()));
    waitMs(800);
    if (QPushButton* search = button(w, "search")) {
        search->click();
        waitMs(100);
        save(w, out, "wrx-search-running");
        waitMs(3000);
        save(w, out, "wrx-nothing-found");
        search->click();
    }

    // LFA: the pair table during a scan of all pairs.
    select(w, 0, pairWithMains(analyser.cable()));
    ui->scanAll->setChecked(true);
    waitMs(6000);
    save(w, out, "lfa-scan");
    ui->scanAll->setChecked(false);
    waitMs(300);
}

void tourReportErrors(MainWindow& w, const QString& work)
{
    // A plain file where the LFA folder of the run should go: neither picture nor workbook is written.
    const QString folder = QDir(work).filePath(QStringLiteral("reports/%1/LFA").arg(w.runFolder()));
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    if (blocker.open(QIODevice::WriteOnly))
        blocker.close();
    w.form()->tabWidget->setCurrentIndex(0);
    w.form()->addREP->click();
    waitMs(100);
    w.form()->addREP1->click();
    waitMs(100);
    QFile::remove(folder);
}

void tourTrackers(MainWindow& w, const QString& out)
{
    struct Plot {
        int tab;
        QwtPlot* plot;
        const char* name;
    };
    const QList<Plot> plots{{0, w.osc()->oscPlot(), "tracker-lfa-osc"},
                            {0, w.osc()->specPlot(), "tracker-lfa-spectrum"},
                            {1, static_cast<QwtPlot*>(w.rx()->spectrumPlot()), "tracker-wrx-spectrum"},
                            {1, static_cast<QwtPlot*>(w.rx()->oscPlot()), "tracker-wrx-osc"},
                            {3, w.form()->refGRAF, "tracker-refl"}};
    for (const Plot& p : plots) {
        w.form()->tabWidget->setCurrentIndex(p.tab);
        waitMs(300);
        QWidget* canvas = p.plot->canvas();
        if (!canvas->isVisible())
            continue;
        const QPointF at(canvas->width() * 0.6, canvas->height() * 0.4);
        QMouseEvent enter(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &enter);
        waitMs(200);
        save(w, out, p.name);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(canvas, &leave);
    }
}

int tourToolTips(MainWindow& w, const QString& out)
{
    QSet<QString> seen;
    QFile index(QDir(out).filePath("tooltips.txt"));
    if (!index.open(QIODevice::WriteOnly | QIODevice::Text))
        return 0;
    QTextStream s(&index);
    s.setCodec("UTF-8");
    for (QWidget* widget : w.findChildren<QWidget*>()) {
        const QString tip = widget->toolTip();
        if (tip.isEmpty() || seen.contains(tip))
            continue;
        seen.insert(tip);
        QToolTip::showText(widget->mapToGlobal(widget->rect().center()), tip, widget);
        waitMs(100);
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->inherits("QTipLabel") && top->isVisible())
                top->grab().save(QDir(out).filePath(
                    QStringLiteral("tooltip-%1.png").arg(seen.size(), 2, 10, QLatin1Char('0'))));
        s << seen.size() << "\t" << widget->objectName() << "\t" << tip << "\n";
        QToolTip::hideText();
    }
    if (seen.isEmpty())
        s << "no widget of the window has a tool tip\n";
    return seen.size();
}
} // namespace Shots
