// Any bytes as a .nljd file: first through the reader the window's Load uses, then through the Load
// button of a live window with the comparison switched on afterwards. The magic alone decides; a
// refused file changes nothing and raises one box; an accepted one gives zeros for what the file
// lacks, a comment no longer than the file, and values the comparison takes without fault.
#include "app/scriptedprompts.h"
#include "fuzzwindow.h"
#include "modes/nljd/nljdcompare.h"
#include "modes/nljd/nljdfile.h"
#include "pairs/pairnumbering.h"
#include "tests/fakeport.h"
#include "ui_mainwindow.h"

#include <QBuffer>
#include <QFile>
#include <cstdlib>
#include <cstring>

using Fuzz::check;

namespace
{
const QByteArray Magic("\x0C\x00\x00\x00" "8\x00" "4\x00" "7\x00" "N\x00" "L\x00" "D\x00", 16);
constexpr int RecordsEnd = 16 + 36 * 4;

ScriptedPrompts* prompts = nullptr;
MainWindow* window = nullptr;
QTemporaryDir* dir = nullptr;

bool same(const NljdFileData& a, const NljdFileData& b)
{
    return a.fileLevel == b.fileLevel && a.fileHarm2 == b.fileHarm2 && a.fileHarm3 == b.fileHarm3;
}

void compareEveryPair(const NljdFileData& f)
{
    for (int p = 1; p <= PairCount; ++p)
        for (quint8 current : {quint8(0), quint8(100), quint8(255)}) {
            NljdCompare::Inputs in;
            in.fileLevel = f.fileLevel[p];
            in.fileHarm2 = f.fileHarm2[p];
            in.fileHarm3 = f.fileHarm3[p];
            in.current = current != 0;
            in.level = quint8(current % 5);
            in.harm2 = current;
            in.harm3 = quint8(current / 2);
            const NljdCompare::Verdict v = NljdCompare::decide(in);
            if (v.decided)
                (void)NljdCompare::text(v.code, in.fileLevel);
            (void)NljdCompare::levelMarker(QRect(10, 20, 61, 300), in.fileLevel);
        }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    prompts = new ScriptedPrompts;
    window = Fuzz::startWindow(new FakePort, prompts, 2);
    dir = Fuzz::scratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::InputTime time(Fuzz::WindowCpuLimitMs);
    const QByteArray content(reinterpret_cast<const char*>(data), int(size));

    // The reader alone.
    NljdFileData sentinel;
    sentinel.fileLevel.fill(0xA5);
    sentinel.fileHarm2.fill(0x5A);
    sentinel.fileHarm3.fill(0x3C);
    NljdFileData read = sentinel;
    QString comment = QStringLiteral("before");
    QBuffer in;
    in.setData(content);
    in.open(QIODevice::ReadOnly);
    const bool ok = NljdFile::read(in, read, comment) == NljdFile::ReadResult::Ok;
    check(ok == (content.startsWith(Magic) && content.size() <= NljdFile::MaxFileSize), "the magic decides");
    if (!ok) {
        check(same(read, sentinel) && comment == QLatin1String("before"), "a refused file changes nothing");
    } else {
        check(comment.size() * 2 <= std::max(0, content.size() - RecordsEnd - 4), "comment within the file");
        for (int p = 1; p <= PairCount; ++p)
            if (16 + 4 * (p - 1) >= content.size())
                check(read.fileLevel[p] == 0 && read.fileHarm2[p] == 0 && read.fileHarm3[p] == 0,
                      "what the file lacks reads as zeros");
        compareEveryPair(read);
    }

    // The same bytes through the window's Load, then the comparison over every pair.
    Ui::MainWindow* ui = window->form();
    const QString name = dir->filePath("input.nljd");
    QFile f(name);
    check(f.open(QIODevice::WriteOnly) && f.write(content) == content.size(), "input written");
    f.close();
    const NljdFileData before = window->nljdFile();
    const QString info = ui->nldINFO->toPlainText();
    prompts->asked.clear();
    prompts->fileNames.enqueue(name);
    ui->nldLoad->click();
    check(prompts->count("critical") == (ok ? 0 : 1), "a box exactly for a refused file");
    if (ok) {
        check(window->nljdFileLoaded() && same(window->nljdFile(), read), "the window keeps what was read");
        check(ui->nldINFO->toPlainText().endsWith(comment), "the comment is shown");
        ui->nldComp->setChecked(true);
        check(ui->nldComp->isChecked(), "a loaded file can be compared");
        ui->nldComp->setChecked(false);
    } else {
        check(same(window->nljdFile(), before) && ui->nldINFO->toPlainText() == info,
              "a refused file leaves the window as it was");
    }
    Fuzz::settle();
    return 0;
}
