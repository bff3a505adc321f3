#include "mainwindow.h"

#include "app/prompts.h"
#include "link/serialanalyserport.h"
#include "modes/nljd/nljdfile.h"
#include "modes/refl/reflmodestate.h"
#include "pairs/pairstore.h"
#include "resources/resources.h"
#include "shell/sharedicon.h"
#include "ui_mainwindow.h"

#include <QDebug>
#include <QEvent>
#include <QTimer>
#include <qwt_plot_curve.h>

MainWindow::MainWindow(QWidget* parent, AnalyserPort* port, Prompts* prompts)
    : QMainWindow(parent), ui(new Ui::MainWindow), m_animTimer(new QTimer(this)),
      m_linkTimer(new QTimer(this)), m_resizeTimer(new QTimer(this)),
      m_refCurve1(new QwtPlotCurve(QString())), m_refCurve2(new QwtPlotCurve(QString()))
{
    initKv847Resources();
    m_prompts = prompts;
    if (!m_prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this);
        m_prompts = m_ownPrompts.get();
    }

    ui->setupUi(this);

    setUpReports();

    m_port = port ? port : new SerialAnalyserPort(this);
    m_port->setParent(this);
    m_watchdog = new LinkWatchdog(*m_port, this);
    connect(m_watchdog, &LinkWatchdog::send, this, &MainWindow::writeData);
    connect(m_watchdog, &LinkWatchdog::title, this, &MainWindow::emitLinkTitle);
    connect(m_watchdog, &LinkWatchdog::dropRequested, this, &MainWindow::closeSerialPort);
    connect(m_watchdog, &LinkWatchdog::setupFailed, this, &MainWindow::showSetupError);

    setUpLfa();
    setUpWrx();
    // The large NLJD display exists before the pair table, which wires the NLJD buttons too.
    setUpNljd();
    setUpPairTable();
    setUpRefl();

    connect(ui->cbLang, SIGNAL(currentIndexChanged(int)), this, SLOT(changeLang(int)));

    setUpFirmware();

    connect(m_animTimer, SIGNAL(timeout()), this, SLOT(Timer1()));
    m_activity = 0;
    m_animTimer->setInterval(100);
    m_animTimer->start();

    // Twice on purpose: every tick runs the watchdog step two times.
    connect(m_linkTimer, SIGNAL(timeout()), this, SLOT(openSerialPort()));
    connect(m_linkTimer, SIGNAL(timeout()), this, SLOT(openSerialPort()));
    m_linkTimer->setInterval(500);
    m_linkTimer->start();

    connect(m_resizeTimer, SIGNAL(timeout()), this, SLOT(resizeWIN()));

    connect(m_port, &AnalyserPort::errorOccurred, this, &MainWindow::handleError);
    connect(m_port, SIGNAL(readyRead()), this, SLOT(readData()));

    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &MainWindow::modeTabChanged);

    QTimer::singleShot(20, this, SLOT(resizeWIN()));
}

MainWindow::~MainWindow()
{
    if (linkState() >= 2) {
        writeData(QByteArray("U\x00", 2));
        while (m_port->waitForBytesWritten(100)) {
        }
    }
    m_linkTimer->stop();
    m_animTimer->stop();
    m_resizeTimer->stop();
    if (m_port->isOpen())
        m_port->close();
    delete m_port;
    m_port = nullptr;
    delete ui;
    delete m_refCurve1;
    delete m_refCurve2;
}

void MainWindow::emitLinkTitle(LinkTitle which)
{
    switch (which) {
    case LinkTitle::NoConnection:
        emit setWindowTitle(tr("KV847: no connection!"), "#ff5555");
        break;
    case LinkTitle::Requesting:
        emit setWindowTitle(tr("KV847: request to connect..."), "#5555ff");
        break;
    case LinkTitle::Connected:
        emit setWindowTitle(tr("KV847: connected"), "#55ff55");
        break;
    case LinkTitle::NoResponse:
        emit setWindowTitle(tr("KV847: no response!"), "#ff5555");
        break;
    case LinkTitle::ConnectionError:
        emit setWindowTitle(tr("KV847: connection error!"), "#ff5555");
        break;
    }
}

void MainWindow::Timer1()
{
    watchTabStream();
    m_animFrame = m_animFrame >= 8 ? 1 : m_animFrame + 1;
    const QIcon frame = sharedIcon(QStringLiteral(":/proc/proc%1.png").arg(m_animFrame));
    if (m_measuring) {
        ui->refTEST->setIcon(frame);
        m_refTestAnimated = true;
    } else if (m_refTestAnimated) {
        ui->refTEST->setIcon(sharedIcon(":/img/Undo.png"));
        m_refTestAnimated = false;
    }
    if (m_activity == 0) {
        if (m_lastActivity != 0) {
            if (m_lastActivity == 11)
                ui->scanAll->setIcon(sharedIcon(":/img/Undo.png"));
            // A transfer or a lost link keeps the update box shut.
            ui->updateBox->setEnabled(linkState() >= 2 && !m_updateBusy);
            m_lastActivity = 0;
        }
    } else {
        ui->updateBox->setEnabled(false);
        if (m_activity == 11)
            ui->scanAll->setIcon(frame);
        m_lastActivity = m_activity;
    }
}

void MainWindow::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::LanguageChange)
        relabelAll();
}

void MainWindow::showFirmwareVersion()
{
    if (!m_fwKnown)
        return;
    ui->lab_ver->setText(QString::number(m_fwMajor) + "." + QString::number(m_fwMinor / 10) +
                         QString::number(m_fwMinor % 10));
}
