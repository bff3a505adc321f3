// Writes the seed inputs of the fuzz targets from real ones: the window on the virtual analyser walks
// every tab and a few pairs, measuring (on WRx also searching), saves its .nljd and .refl files and
// adds every kind of report file; what the analyser sent on the way becomes the frame, dispatch and
// receiver seeds, the report tree the report folder seeds, and the analyser's demo firmware files the
// firmware seeds. Usage: fuzz_seeds OUTPUT_FOLDER
#include "app/scriptedprompts.h"
#include "fuzzwindow.h"
#include "link/framecodec.h"
#include "modes/wrx/rx.h"
#include "pairs/pairstore.h"
#include "reporting/reportfiles.h"
#include "sim/mode_firmware.h"
#include "sim/mode_refl.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"
#include "ui_mainwindow.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
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

// The receiver's harness takes a byte of switches, then per message a kind (sub-kind 0..3 of "C",
// 4 for status sub-kind 5), a length and the bytes after the sub-kind.
QByteArray wrxSeed(int pair, bool search, const QList<QByteArray>& payloads)
{
    QByteArray seed(1, char((pair - 1) | (search ? 0x40 : 0)));
    for (const QByteArray& p : payloads) {
        const bool data = p.size() >= 2 && p[0] == 'C' && quint8(p[1]) <= 3;
        const bool settings = p.size() >= 2 && p[0] == 'S' && p[1] == 5;
        if (data || settings)
            seed += QByteArray(1, char(settings ? 4 : p[1])) + char(p.size() - 2) + p.mid(2);
    }
    return seed;
}

// The report folder harness reads entries: 0 run folder, 1 | mode << 2 one of the four mode folders,
// 2 | suffix << 2 a file (suffix 1 ".png", 2 ".xlsx"), each with a name; a file has a 16-bit length
// and its content.
void appendName(QByteArray& seed, const QByteArray& name)
{
    seed += QByteArray(1, char(std::min(name.size(), 255))) + name.left(255);
}

// The whole tree with empty files, and each file with its content in its own seed, so that each
// seed stays within the harness's input size.
QList<QByteArray> reportSeeds(const QString& root)
{
    QByteArray tree(1, '\0');
    QList<QByteArray> seeds;
    for (const QString& run : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QByteArray runEntry(1, '\0');
        appendName(runEntry, QFile::encodeName(run));
        tree += runEntry;
        for (int mode = 1; mode <= Report::Modes; ++mode) {
            const QString folder = root + "/" + run + "/" + Report::modeFolder(mode);
            if (!QDir(folder).exists())
                continue;
            const QByteArray modeEntry(1, char(1 | ((mode - 1) << 2)));
            tree += modeEntry;
            for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files)) {
                const int suffix = f.suffix() == "png" ? 1 : f.suffix() == "xlsx" ? 2 : 0;
                QByteArray fileEntry(1, char(2 | (suffix << 2)));
                appendName(fileEntry, QFile::encodeName(suffix ? f.completeBaseName() : f.fileName()));
                tree += fileEntry + QByteArray(2, '\0');
                QFile file(f.filePath());
                file.open(QIODevice::ReadOnly);
                const QByteArray content = file.read(0xFFFF);
                seeds.append(QByteArray(1, '\0') + runEntry + modeEntry + fileEntry + char(content.size() & 0xFF) +
                             char(content.size() >> 8) + content);
            }
        }
    }
    seeds.prepend(tree);
    return seeds;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    Fuzz::startApplication();
    // The window makes its report tree in the working folder: a fresh one, for the report seeds.
    QTemporaryDir work;
    QDir::setCurrent(work.path());

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
            if (tab == 1)
                write("fuzz_wrx", name, wrxSeed(pair, false, payloads));
        }
        // The receiver's search on a few pairs: its results and the fixed receiver's level frames.
        if (tab == 1)
            for (int pair : {1, 12, 36}) {
                w.swClick(pair, 1);
                settle();
                payloads.clear();
                prompts.answers.enqueue(true);
                w.rx()->searchButton()->click();
                for (int t = 0; t < 6; ++t) {
                    analyser.tick();
                    settle();
                }
                write("fuzz_wrx", QString("search-pair%1").arg(pair), wrxSeed(pair, true, payloads));
                w.rx()->searchButton()->click();
                settle();
            }
    }

    // Every kind of report file, from the four measuring tabs.
    for (QCheckBox* box : w.findChildren<QCheckBox*>())
        if (box->objectName().startsWith("cbREP"))
            box->setChecked(true);
    for (int tab = 0; tab < 4; ++tab) {
        ui->tabWidget->setCurrentIndex(tab);
        settle();
        ui->addREP1->click();
    }
    const QList<QByteArray> reports = reportSeeds("reports");
    for (int i = 0; i < reports.size(); ++i)
        write("fuzz_reportfolders", QString("captured%1").arg(i), reports[i]);

    // The analyser's own demo firmware, with and without a block boundary, and a bare header.
    write("fuzz_firmware", "demo", FirmwareMode::demoImage(2, 7, 1000));
    write("fuzz_firmware", "boundary100", FirmwareMode::demoImage(2, 7, 300, 100));
    write("fuzz_firmware", "boundary1", FirmwareMode::demoImage(1, 0, 130, 1));
    write("fuzz_firmware", "header", FirmwareMode::demoImage(1, 0, 0));

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
