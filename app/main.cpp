#include "app/mainwindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    MainWindow w;
    QObject::connect(&w, &MainWindow::setWindowTitle, &w, [&w](const QString& text) { w.QWidget::setWindowTitle(text); });
    w.show();
    app.setWindowIcon(QIcon(":/favicon.ico"));
    return app.exec();
}
