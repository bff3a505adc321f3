// Any "reports" folder tree beside the program, as the report browser finds it at a start: the
// input builds run folders, mode folders (the four known ones or any name), files with any name
// bytes, suffix and content, and folders named like report files. Then the browser starts a new run
// and shows every run folder. What must hold: only empty run folders went, the new one is there, the
// tree lists exactly the run folders with their file counts, each page counts its folder's files and
// shows a tile exactly for each .png and .xlsx file, every tile names a file of its own folder, opening
// a folder or file asks for that very path, and deleting a tile removes that file and nothing else,
// while answering "No" removes nothing.
#include "app/scriptedprompts.h"
#include "fuzzwindow.h"
#include "link/dispatchroute.h"
#include "reporting/inreptab.h"
#include "reporting/reportfiles.h"
#include "tests/fakeport.h"

#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QUrl>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using Fuzz::check;

namespace
{
ScriptedPrompts* prompts = nullptr;
MainWindow* window = nullptr;
QTemporaryDir* dir = nullptr;
const std::string Root = "reports";

// Reads the input from the front; missing bytes read as 0.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool done() const { return at >= size; }
    quint8 byte() { return at < size ? data[at++] : 0; }
    std::string bytes(size_t n)
    {
        n = std::min(n, size - std::min(size, at));
        std::string s(reinterpret_cast<const char*>(data + at), n);
        at += n;
        return s;
    }
    // A file name: any characters but "/" and NUL; empty, "." and ".." give "x". Bytes that are no
    // UTF-8 become U+FFFD: Qt lists such a name under one that does not exist, so the browser never
    // sees the file at all.
    std::string name()
    {
        QByteArray raw;
        for (char c : bytes(byte()))
            if (c != '/' && c != '\0')
                raw += c;
        // At most 80 bytes, three times that as UTF-8: within the file system's 255.
        const std::string s = QFile::encodeName(QFile::decodeName(raw.left(80))).toStdString();
        return s.empty() || s == "." || s == ".." ? std::string("x") : s;
    }
};

// Each entry of a folder but "." and "..", with its full path and whether it is a folder (a link
// is not followed).
template <typename Visit> void eachEntry(const std::string& path, Visit visit)
{
    DIR* d = opendir(path.c_str());
    if (!d)
        return;
    while (dirent* e = readdir(d)) {
        const std::string n = e->d_name;
        struct stat st;
        if (n != "." && n != ".." && lstat((path + "/" + n).c_str(), &st) == 0)
            visit(n, path + "/" + n, S_ISDIR(st.st_mode), S_ISREG(st.st_mode));
    }
    closedir(d);
}

// The listing as the file system has it, bytes for bytes; hidden entries are left out as the
// browser's listings leave them.
std::set<std::string> entries(const std::string& path, bool folders)
{
    std::set<std::string> out;
    eachEntry(path, [&](const std::string& n, const std::string&, bool folder, bool file) {
        if (n[0] != '.' && (folders ? folder : file))
            out.insert(n);
    });
    return out;
}

bool hasAnyEntry(const std::string& path)
{
    bool any = false;
    eachEntry(path, [&](const std::string&, const std::string&, bool, bool) { any = true; });
    return any;
}

void removeTree(const std::string& path)
{
    eachEntry(path, [](const std::string&, const std::string& p, bool folder, bool) {
        if (folder)
            removeTree(p);
        else
            unlink(p.c_str());
    });
    rmdir(path.c_str());
}

// Every file and folder below the root, for "nothing else changed".
std::set<std::string> allFiles(const std::string& path)
{
    std::set<std::string> out;
    eachEntry(path, [&](const std::string&, const std::string& p, bool folder, bool) {
        out.insert(p);
        if (folder)
            for (const std::string& f : allFiles(p))
                out.insert(f);
    });
    return out;
}

std::string local(const QString& s)
{
    return QFile::encodeName(s).toStdString();
}

int filesShown(const QString& title)
{
    // "LFA data (2 files)"
    const int open = title.lastIndexOf('(');
    return open < 0 ? -1 : title.mid(open + 1).section(' ', 0, 0).toInt();
}

std::vector<InRepTab*> tiles(QTableWidget* t)
{
    std::vector<InRepTab*> out;
    for (int r = 0; r < t->rowCount(); ++r)
        for (int c = 0; c < t->columnCount(); ++c)
            if (t->item(r, c))
                if (auto* tile = qobject_cast<InRepTab*>(t->cellWidget(r, c)))
                    out.push_back(tile);
    return out;
}

void build(Reader& in, std::vector<std::string>& runs)
{
    std::string run, mode;
    while (!in.done()) {
        const quint8 k = in.byte();
        if (run.empty() && k % 4 != 0) {
            run = Root + "/r";
            mkdir(run.c_str(), 0700);
            runs.push_back("r");
        }
        if (mode.empty() && k % 4 >= 2) {
            mode = run + "/LFA";
            mkdir(mode.c_str(), 0700);
        }
        switch (k % 4) {
        case 0: {
            const std::string n = in.name();
            run = Root + "/" + n;
            mode.clear();
            mkdir(run.c_str(), 0700);
            runs.push_back(n);
            break;
        }
        case 1: {
            const int m = (k >> 2) % 5;
            mode = run + "/" + (m < 4 ? local(Report::modeFolder(m + 1)) : in.name());
            mkdir(mode.c_str(), 0700);
            break;
        }
        case 2: {
            static const char* const suffixes[] = {"", ".png", ".xlsx", ".PNG"};
            const std::string path = mode + "/" + in.name() + suffixes[(k >> 2) % 4];
            const size_t length = in.byte() | (size_t(in.byte()) << 8);
            const std::string content = in.bytes(length);
            const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd >= 0) {
                check(write(fd, content.data(), content.size()) == ssize_t(content.size()), "input written");
                close(fd);
            }
            break;
        }
        default:
            mkdir((mode + "/" + in.name() + ((k >> 2) % 2 ? ".png" : ".xlsx")).c_str(), 0700);
            break;
        }
    }
}

// The pages of one viewed run folder against its folders on disk.
void checkPages(const std::string& runName, Ui::MainWindow* ui, quint8 pick)
{
    QTableWidget* tables[] = {ui->tableLFA, ui->tableWRX, ui->tableNLD, ui->tableREF};
    for (int mode = 1; mode <= Report::Modes; ++mode) {
        const std::string folder = Root + "/" + runName + "/" + local(Report::modeFolder(mode));
        const std::set<std::string> files = entries(folder, false);
        check(filesShown(ui->REPORT->itemText(mode - 1)) == int(files.size()), "a page counts its files");
        std::set<std::string> expected;
        for (const std::string& f : files) {
            const QString suffix = QFileInfo(QFile::decodeName(f.c_str())).suffix();
            if (suffix == "png" || suffix == "xlsx")
                expected.insert(folder + "/" + f);
        }
        std::set<std::string> shown;
        const std::vector<InRepTab*> list = tiles(tables[mode - 1]);
        for (InRepTab* tile : list) {
            const std::string path = local(tile->path());
            check(shown.insert(path).second, "one tile per file");
            check(expected.count(path) == 1, "a tile names a .png or .xlsx file of its own folder");
        }
        check(shown.size() == expected.size(), "every .png and .xlsx file has its tile");
        if (list.empty())
            continue;

        // Open the file, then ask to delete it: "No" keeps everything, "Yes" takes exactly that file.
        QTableWidget* t = tables[mode - 1];
        InRepTab* tile = list[pick % list.size()];
        int row = 0, col = 0;
        for (int r = 0; r < t->rowCount(); ++r)
            for (int c = 0; c < t->columnCount(); ++c)
                if (t->cellWidget(r, c) == tile)
                    row = r, col = c;
        const std::string path = local(tile->path());
        prompts->asked.clear();
        QMetaObject::invokeMethod(window, "repDblClick", Qt::DirectConnection, Q_ARG(int, row), Q_ARG(int, col),
                                  Q_ARG(QTableWidget*, t));
        check(prompts->count("url") == 1 && local(QUrl(prompts->asked[0].title).toLocalFile()) == path,
              "opening a tile asks for its own file");
        const std::set<std::string> before = allFiles(Root);
        prompts->answers.enqueue(false);
        tile->deleteButton()->click();
        check(allFiles(Root) == before, "answering No deletes nothing");
        prompts->answers.enqueue(true);
        tiles(t)[pick % list.size()]->deleteButton()->click();
        std::set<std::string> after = before;
        after.erase(path);
        check(allFiles(Root) == after, "a delete takes exactly its file");
        check(filesShown(ui->REPORT->itemText(mode - 1)) == int(files.size()) - 1, "and the page follows");
        return;
    }
}
} // namespace

// The report tree lies beside the program, in its working folder: the scratch folder while the
// window works, libFuzzer's own folder while it writes inputs (give -artifact_prefix as a full path).
struct InScratch {
    QString before = QDir::currentPath();
    InScratch() { QDir::setCurrent(dir->path()); }
    ~InScratch() { QDir::setCurrent(before); }
};

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    dir = Fuzz::scratchFolder();
    InScratch here;
    prompts = new ScriptedPrompts;
    window = Fuzz::startWindow(new FakePort, prompts, Tab::Report);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::InputTime time(Fuzz::WindowCpuLimitMs);
    InScratch here;
    removeTree(Root);
    mkdir(Root.c_str(), 0700);
    Reader in{data, size};
    const quint8 pick = in.byte();
    std::vector<std::string> runs;
    build(in, runs);
    std::map<std::string, bool> kept;
    for (const std::string& r : runs)
        kept[r] = hasAnyEntry(Root + "/" + r);

    // The run folder is named after the second it was made in: any second while createDIR ran, which
    // on a loaded machine may be several.
    const QDateTime started = QDateTime::currentDateTime();
    QMetaObject::invokeMethod(window, "createDIR", Qt::DirectConnection);
    const QDateTime ended = QDateTime::currentDateTime();
    const std::set<std::string> folders = entries(Root, true);
    const QString fresh = window->runFolder();
    // A folder already named after this second is the new run's folder, empty or not.
    for (const auto& [name, full] : kept)
        if (name[0] != '.' && name != local(fresh))
            check(folders.count(name) == size_t(full), "only empty run folders go");
    bool named = false;
    for (QDateTime t = started.addMSecs(-started.time().msec()); t <= ended && !named; t = t.addSecs(1))
        named = fresh == Report::runFolderName(t);
    check(named, "the new run folder is named after the time it was made");
    check(folders.count(local(fresh)) == 1 && (kept.count(local(fresh)) || !hasAnyEntry(Root + "/" + local(fresh))),
          "the new run folder is there, empty");

    Ui::MainWindow* ui = window->form();
    QTreeWidget* tree = ui->listREP;
    check(tree->topLevelItemCount() == int(folders.size()), "the tree lists every run folder");
    std::set<std::string> listed;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        const std::string name = local(item->data(0, Qt::UserRole).toString());
        check(folders.count(name) == 1 && listed.insert(name).second, "each item names a run folder once");
        int count = 0;
        for (int mode = 1; mode <= Report::Modes; ++mode)
            count += int(entries(Root + "/" + name + "/" + local(Report::modeFolder(mode)), false).size());
        check(filesShown(item->text(0)) == count, "an item counts its run folder's files");
    }
    // Each run folder in turn, as the user clicks through the tree.
    for (int i = tree->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        if (!item)
            break;
        const QString name = item->data(0, Qt::UserRole).toString();
        tree->setCurrentItem(item);
        prompts->asked.clear();
        QMetaObject::invokeMethod(window, "dirDblClick", Qt::DirectConnection, Q_ARG(QTreeWidgetItem*, item),
                                  Q_ARG(int, 0));
        check(prompts->count("url") == 1 &&
                  QUrl(prompts->asked[0].title).toLocalFile() == QString::fromStdString(Root) + "/" + name,
              "opening a run folder asks for that folder");
        checkPages(local(name), ui, pick);
    }
    prompts->asked.clear();
    Fuzz::settle();
    return 0;
}
