// Any bytes as a .refl file: first through the reader the window's Load uses, then through the Load
// button of a live window with the comparison switched on afterwards. The magic decides whether it
// is a REFL file; a refused file changes nothing but the file factor and raises one box; an accepted
// one gives statuses of a defect count or a state, a comment no longer than the file, and values the
// comparison takes without fault.
#include "app/scriptedprompts.h"
#include "fuzzwindow.h"
#include "modes/refl/reflmessage.h"
#include "modes/refl/reflmodestate.h"
#include "tests/fakeport.h"
#include "ui_mainwindow.h"

#include <QBuffer>
#include <QFile>
#include <QTextDocument>
#include <algorithm>
#include <cstdlib>

using Fuzz::check;

namespace
{
const QByteArray Magic("\x0C\x00\x00\x00" "8\x00" "4\x00" "7\x00" "R\x00" "E\x00" "F\x00", 16);

ScriptedPrompts* prompts = nullptr;
MainWindow* window = nullptr;
QTemporaryDir* dir = nullptr;
PairRecord measured; // a current measurement to compare each file pair with

// Everything but the factor, which a refusal may set.
bool same(const Refl::ReflFileData& a, const Refl::ReflFileData& b)
{
    return a.fileStatus == b.fileStatus && a.fileDefectDistance == b.fileDefectDistance &&
           a.fileDefectLevel == b.fileDefectLevel && a.fileTrace == b.fileTrace;
}

// What a load writes: the statuses of pairs 1..36, and the lists and traces of the pairs that have them. The rest
// keeps what an earlier file left.
bool sameAsRead(const Refl::ReflFileData& window, const Refl::ReflFileData& read)
{
    for (int p = 1; p <= PairCount; ++p) {
        const int n = read.fileStatus[p];
        if (window.fileStatus[p] != n)
            return false;
        if (n > ReflDefects)
            continue;
        if (window.fileTrace[p] != read.fileTrace[p] ||
            !std::equal(read.fileDefectDistance[p].begin(), read.fileDefectDistance[p].begin() + n,
                        window.fileDefectDistance[p].begin()) ||
            !std::equal(read.fileDefectLevel[p].begin(), read.fileDefectLevel[p].begin() + n,
                        window.fileDefectLevel[p].begin()))
            return false;
    }
    return true;
}

void compareEveryPair(const Refl::ReflFileData& f, float factor)
{
    for (int p = 1; p <= PairCount; ++p) {
        const Refl::FilePair file{f.fileStatus[p], f.fileDefectDistance[p], f.fileDefectLevel[p], f.fileTrace[p]};
        Refl::DefectMarks marks;
        const Refl::StatusDecision d = Refl::comparePair(measured, file, factor, marks);
        if (d.kind == Refl::StatusDecision::Decided)
            (void)Refl::verdictText(d.verdict);
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    prompts = new ScriptedPrompts;
    window = Fuzz::startWindow(new FakePort, prompts, 3);
    dir = Fuzz::scratchFolder();
    measured.dataFlags = DataFlag::reflValid;
    measured.refl.status = 3;
    measured.refl.defectDistance = {120, 800, 2400};
    measured.refl.defectLevel = {30, 12, 60};
    for (int i = 0; i < ReflSamples; ++i)
        measured.refl.trace[i] = quint8(i * 7);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::InputTime time(Fuzz::WindowCpuLimitMs);
    const QByteArray content(reinterpret_cast<const char*>(data), int(size));
    const float factor = window->reflState().reflFactor;

    // The reader alone.
    Refl::ReflFileData sentinel;
    sentinel.fileStatus.fill(77);
    for (auto& d : sentinel.fileDefectDistance)
        d.fill(0xA5A5);
    for (auto& t : sentinel.fileTrace)
        t.fill(0x5A);
    Refl::ReflFileData read = sentinel;
    QString comment = QStringLiteral("before");
    QBuffer in;
    in.setData(content);
    in.open(QIODevice::ReadOnly);
    const Refl::LoadResult result = Refl::readFile(in, factor, read, &comment);
    const bool ok = result == Refl::LoadResult::Loaded;
    check((result != Refl::LoadResult::NotReflFile) ==
              (content.startsWith(Magic) && content.size() <= Refl::MaxFileSize),
          "the magic decides");
    if (!ok) {
        check(same(read, sentinel) && comment == QLatin1String("before"), "a refused file changes nothing");
    } else {
        check(comment.size() * 2 <= std::max(0, content.size() - 20 - 36 * 2 - 4), "comment within the file");
        for (int p = 1; p <= PairCount; ++p)
            check(read.fileStatus[p] <= ReflDefects || read.fileStatus[p] >= Refl::NoData,
                  "status 0..10 or 250..255");
        compareEveryPair(read, factor);
    }

    // The same bytes through the window's Load, then the comparison over every pair.
    Ui::MainWindow* ui = window->form();
    const QString name = dir->filePath("input.refl");
    QFile f(name);
    check(f.open(QIODevice::WriteOnly) && f.write(content) == content.size(), "input written");
    f.close();
    const Refl::ReflFileData before = window->reflState().file;
    const QString info = ui->refINFO->toPlainText();
    prompts->asked.clear();
    prompts->fileNames.enqueue(name);
    ui->refLoad->click();
    check(prompts->count("critical") == (ok ? 0 : 1), "a box exactly for a refused file");
    if (ok) {
        check(window->reflState().fileLoaded && sameAsRead(window->reflState().file, read),
              "the window keeps what was read");
        // The box holds the name and the comment as a plain-text document holds them: it turns CR,
        // CR LF and U+2028 into line breaks and gives U+00A0 back as a blank, so the text read back
        // is compared with that of a document given the same text, not with the comment itself.
        QTextDocument shown;
        shown.setPlainText(QCoreApplication::translate("MainWindow", "Current file: ") + "input.refl\n" + comment);
        check(ui->refINFO->document()->toRawText() == shown.toRawText(), "the file name and the comment are shown");
        ui->refComp->setChecked(true);
        check(ui->refComp->isChecked(), "a loaded file can be compared");
        ui->refComp->setChecked(false);
    } else {
        check(same(window->reflState().file, before) && ui->refINFO->toPlainText() == info,
              "a refused file leaves the window as it was");
    }
    Fuzz::settle();
    return 0;
}
