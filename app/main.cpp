#include "app/commandline.h"
#include "app/mainwindow.h"
#include "link/quitsignals.h"
#include "link/serialanalyserport.h"
#include "shell/darkstyle.h"
#include "shell/framelesswindow.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QShortcut>
#include <cstdio>

static void nameTheApplication()
{
    QCoreApplication::setApplicationName("kv847");
    QCoreApplication::setApplicationVersion(QStringLiteral(KV847_VERSION));
}

// Entered before the window exists: its run folder and first file dialogs are made relative to it.
static bool enterChosenWorkFolder(const StartOptions& options)
{
    const QString folder = chooseWorkFolder(options, QDir::currentPath(), userWorkFolder());
    QString error;
    if (enterWorkFolder(folder, &error))
        return true;
    std::fprintf(stderr, "kv847: %s\n", qPrintable(error));
    // A folder the user named must be used or nothing; the default one may fall back to where we are.
    return options.workdir.isEmpty();
}

int main(int argc, char* argv[])
{
    // Help and version need no display: answer them before the GUI starts.
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "-h" || a == "--help" || a == "--help-all" || a == "-v" || a == "--version") {
            QCoreApplication plain(argc, argv);
            nameTheApplication();
            parseStartOptions(plain);
        }
    }
    // Pictures come in two sizes (name.png, name@2x.png); a screen scaled by two takes the larger.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    nameTheApplication();
    const StartOptions options = parseStartOptions(app);
    if (!enterChosenWorkFolder(options))
        return 1;

    AnalyserPort* port = nullptr;
    VirtualAnalyserPort* virtualPort = nullptr;
    if (options.demo) {
        auto* analyser = new VirtualAnalyser(CableModel::DefaultSeed, &app);
        port = virtualPort = new VirtualAnalyserPort(*analyser);
    } else if (!options.port.isEmpty()) {
        port = new SerialAnalyserPort(nullptr, options.port);
    }

    const QString noConnection = QCoreApplication::translate("MainWindow", "KV847: no connection!");
    const QString red = QStringLiteral("#ff5555");
    FramelessWindow shell;
    shell.setWindowTitle(noConnection, red);

    // The shell owns the main window once it is embedded and destroys it first when it goes.
    auto* w = new MainWindow(nullptr, port);
    QObject::connect(w, &MainWindow::setWindowTitle, &shell, &FramelessWindow::setWindowTitle);
    QObject::connect(w, &MainWindow::setWindowIcon, &shell, &FramelessWindow::setWindowIcon);
    QObject::connect(w, &MainWindow::sigBat, &shell, &FramelessWindow::setBat);
    QObject::connect(&shell, &FramelessWindow::winRez, w,
                     static_cast<void (MainWindow::*)(QSize)>(&MainWindow::resizeSLOT));
    shell.setWindowIcon(QIcon(":/img/off.png"));
    shell.setWindowTitle(noConnection, red);
    if (virtualPort) {
        // Pull and put back the virtual analyser's cable.
        auto* plug = new QShortcut(QKeySequence("Ctrl+Alt+U"), &shell);
        QObject::connect(plug, &QShortcut::activated, virtualPort, [virtualPort] {
            if (virtualPort->isPlugged())
                virtualPort->unplug();
            else
                virtualPort->plug();
        });
        std::fprintf(stderr,
                     "kv847: running on the virtual analyser (Ctrl+Alt+U pulls or puts back its cable)\n");
    }
    shell.embedContent(w);
    shell.show();
    QApplication::setWindowIcon(QIcon(":/favicon.ico"));
    QApplication::setStyle(new DarkStyle);
    quitOnTerminationSignals();
    return app.exec();
}
