#include "app/commandline.h"
#include "app/mainwindow.h"
#include "link/quitsignals.h"
#include "link/serialanalyserport.h"
#include "shell/darkstyle.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"

#include <QApplication>
#include <QIcon>
#include <QShortcut>
#include <cstdio>

static void nameTheApplication()
{
    QCoreApplication::setApplicationName("kv847");
    QCoreApplication::setApplicationVersion(QStringLiteral(KV847_VERSION));
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
    QApplication app(argc, argv);
    nameTheApplication();
    const StartOptions options = parseStartOptions(app);

    AnalyserPort* port = nullptr;
    VirtualAnalyserPort* virtualPort = nullptr;
    if (options.demo) {
        auto* analyser = new VirtualAnalyser(CableModel::DefaultSeed, &app);
        port = virtualPort = new VirtualAnalyserPort(*analyser);
    } else if (!options.port.isEmpty()) {
        port = new SerialAnalyserPort(nullptr, options.port);
    }

    MainWindow w(nullptr, port);
    // Until the frameless shell takes the title, the plain window frame shows the link state.
    QObject::connect(&w, &MainWindow::setWindowTitle, &w,
                     [&w](const QString& text) { w.QWidget::setWindowTitle(text); });
    QObject::connect(&w, &MainWindow::setWindowIcon, &w,
                     [&w](const QIcon& icon) { w.QWidget::setWindowIcon(icon); });
    w.QWidget::setWindowTitle(QCoreApplication::translate("MainWindow", "KV847: no connection!"));
    w.QWidget::setWindowIcon(QIcon(":/img/off.png"));
    if (virtualPort) {
        // Pull and put back the virtual analyser's cable.
        auto* plug = new QShortcut(QKeySequence("Ctrl+Alt+U"), &w);
        QObject::connect(plug, &QShortcut::activated, virtualPort, [virtualPort] {
            if (virtualPort->isPlugged())
                virtualPort->unplug();
            else
                virtualPort->plug();
        });
        std::fprintf(stderr,
                     "kv847: running on the virtual analyser (Ctrl+Alt+U pulls or puts back its cable)\n");
    }
    w.show();
    QApplication::setWindowIcon(QIcon(":/favicon.ico"));
    QApplication::setStyle(new DarkStyle);
    quitOnTerminationSignals();
    return app.exec();
}
