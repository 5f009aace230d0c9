#include "app/CatalogTroubleBoxes.h"
#include "app/frmMain.h"
#include "data/CatalogTrouble.h"
#include "data/ProfileAsker.h"
#include "platform/HeapKeeping.h"
#include "platform/QtSpanish.h"
#include "runtime/QtUi.h"
#include "shell/MainWindowOpener.h"
#include "shell/frmPerfil.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv) {
    corvelix::keepFreedHeap();
#ifdef SIGXFSZ
    // Past a file-size limit (ulimit -f, a quota) a write then fails with its error, which the
    // save reports in Spanish, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvelix"));
    // Qt's own buttons and dialogs in Spanish like the rest; without it they stay English.
    corvelix::installQtSpanish();

    corvelix::QtUi seam;
    corvelix::setUi(&seam);

    // The main window starts the program; forms that hand control back open a new one.
    corvelix::setMainWindowOpener(&frmMain::abrirNueva);
    // A catalog that cannot be opened asks for another profile through the profile dialog.
    modDA::setProfileAsker(&frmPerfil::preguntar);
    // A catalog that cannot be used is told here, and ends the program when it cannot go on.
    modDA::setCatalogTroubleHandler(&showCatalogTrouble);
    frmMain::abrirNueva();
    const int code = QApplication::exec();
    modDA::setCatalogTroubleHandler({});
    modDA::setProfileAsker({});
    corvelix::setMainWindowOpener({});
    corvelix::setUi(nullptr);
    return code;
}
