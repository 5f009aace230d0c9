#include "runtime/QtUi.h"
#include "shell/frmMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvelix"));

    corvelix::QtUi seam;
    corvelix::setUi(&seam);

    // The main window starts the program; it is unloaded (deleted) when it closes.
    auto* ventana = new frmMain;
    ventana->setAttribute(Qt::WA_DeleteOnClose);
    ventana->show();
    const int code = QApplication::exec();
    corvelix::setUi(nullptr);
    return code;
}
