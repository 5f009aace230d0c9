#include "app/frmMain.h"
#include "platform/HeapKeeping.h"
#include "platform/QtSpanish.h"
#include "runtime/QtUi.h"
#include "shell/MainWindowOpener.h"

#include <QApplication>

int main(int argc, char** argv) {
    corvelix::keepFreedHeap();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvelix"));
    // Qt's own buttons and dialogs in Spanish like the rest; without it they stay English.
    corvelix::installQtSpanish();

    corvelix::QtUi seam;
    corvelix::setUi(&seam);

    // The main window starts the program; forms that hand control back open a new one.
    corvelix::setMainWindowOpener(&frmMain::abrirNueva);
    frmMain::abrirNueva();
    const int code = QApplication::exec();
    corvelix::setMainWindowOpener({});
    corvelix::setUi(nullptr);
    return code;
}
