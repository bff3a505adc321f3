// Writes the seed inputs of the fuzz targets from real ones: the window on the virtual analyser walks
// every tab and a few pairs, measuring, and saves its .nljd and .refl files; what the analyser sent
// on the way becomes the frame and dispatch seeds. Usage: fuzz_seeds OUTPUT_FOLDER
#include "app/scriptedprompts.h"
#include "fuzzwindow.h"
#include "link/framecodec.h"
#include "pairs/pairstore.h"
#include "sim/mode_refl.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdio>

namespace
{
QString out;

void write(const QString& target, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(out + "/" + target);
    QFile f(out + "/" + target + "/" + name);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
        std::exit(1);
    }
}

void settle(int ms = 0)
{
    QElapsedTimer clock;
    clock.start();
    do {
        Fuzz::settle();
        if (ms > 0)
            QThread::msleep(1);
    } while (clock.elapsed() < ms);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    out = QString::fromLocal8Bit(argv[1]);
    Fuzz::startApplication();

    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    static_cast<ReflMode*>(analyser.modeHandler(VirtualAnalyser::ModeRefl))->setStepInterval(1);
    ScriptedPrompts prompts;
    MainWindow w(nullptr, new VirtualAnalyserPort(analyser), &prompts);
    Fuzz::stopWatchdogTimers(w);
    Ui::MainWindow* ui = w.form();

    QByteArray raw;
    QList<QByteArray> payloads;
    FrameReceiver rx;
    QObject::connect(&analyser, &VirtualAnalyser::output, [&](const QByteArray& bytes) {
        raw += bytes;
        for (char c : bytes)
            if (rx.feed(quint8(c))) {
                QByteArray p = rx.takePayload();
                p.chop(1);
                payloads.append(p);
            }
    });

    for (int i = 0; i < 4; ++i) {
        w.openSerialPort();
        w.openSerialPort();
        settle();
    }
    if (w.linkState() < 2) {
        fprintf(stderr, "the virtual analyser did not connect\n");
        return 1;
    }

    for (int tab = 0; tab < 6; ++tab) {
        ui->tabWidget->setCurrentIndex(tab);
        settle();
        // Every pair on the reflectometer, so that the saved file holds defect lists and traces.
        QList<int> pairs{1, 12, 28, 29, 36};
        if (tab == 3)
            for (int p = 2; p < PairCount; ++p)
                if (!pairs.contains(p))
                    pairs.append(p);
        for (int pair : pairs) {
            raw.clear();
            payloads.clear();
            w.swClick(pair, 1);
            settle();
            if (tab == 3) {
                ui->refTEST->click();
                settle(200);
            }
            for (int t = 0; t < 3; ++t) {
                analyser.tick();
                settle();
            }
            QByteArray seed;
            seed += char(tab);
            seed += char(pair - 1);
            for (const QByteArray& p : payloads)
                seed += char(p.size()) + p;
            const QString name = QString("tab%1-pair%2").arg(tab).arg(pair);
            write("fuzz_dispatch", name, seed);
            write("fuzz_frames", name, raw);
        }
    }

    // The files, as the user saves them: measured, with pairs excluded, empty; with and without a comment.
    const auto save = [&](QAbstractButton* open, QLineEdit* text, QAbstractButton* save, const QString& target,
                          const QString& name, const QString& comment) {
        prompts.fileNames.enqueue(out + "/" + target + "/" + name);
        open->click();
        text->setText(comment);
        save->click();
        if (!QFile::exists(out + "/" + target + "/" + name)) {
            fprintf(stderr, "the window did not save %s\n", qPrintable(name));
            std::exit(1);
        }
    };
    QDir().mkpath(out + "/fuzz_nljdfile");
    QDir().mkpath(out + "/fuzz_reflfile");
    const auto saveBoth = [&](const QString& stem, const QString& comment) {
        save(ui->nldSave, ui->nldTXT, ui->nldSave2, "fuzz_nljdfile", stem + ".nljd", comment);
        save(ui->refSave, ui->refTXT, ui->refSave2, "fuzz_reflfile", stem + ".refl", comment);
    };
    saveBoth("measured", "five pairs on every tab");
    for (int p : {2, 12, 30})
        w.pairStore()[p].excluded = 1;
    saveBoth("excluded", QString());
    w.pairStore().clearMeasurements();
    saveBoth("empty", QString::fromUtf8("пустой"));
    printf("seeds written to %s\n", qPrintable(out));
    return 0;
}
