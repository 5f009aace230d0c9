#include "imports/frmMenuIC.h"

#include "imports/frmSIMIGlobal.h"

#include "assembly/frmArmadoITEM.h"
#include "data/attached_rows.h"
#include "data/modDA.h"
#include "data/prorating.h"
#include "data/simi_work.h"
#include "platform/ProcessRunner.h"
#include "platform/Settings.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/VbError.h"
#include "shell/MainWindowOpener.h"
#include "shell/main_documentos.h"

#include "version.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QThread>

using corvelix::ui;

namespace {

QString ubicacion(const char* procedure) {
    return QStringLiteral("Corvelix.frmMenuIC.") + QLatin1String(procedure);
}

QString cuatroDigitos(int item) {
    return QStringLiteral("%1").arg(item, 4, 10, QLatin1Char('0'));
}

void sinArticulos(const QString& operacion) {
    ui().msgBox(QStringLiteral("No hay Articulos registrados para la operación ") + operacion,
                corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
}

// A failure of one work row names its item (the step's writes are undone by its transaction).
template <class F> void porFila(int item, F&& fn) {
    try {
        fn();
    } catch (...) {
        const corvelix::VbError error = corvelix::currentError();
        throw corvelix::VbError(error.number, error.source,
                                error.description + QStringLiteral(" (item ") +
                                    cuatroDigitos(item) + QLatin1Char(')'));
    }
}

} // namespace

frmMenuIC::frmMenuIC(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMenuIC"));
    setWindowTitle(QStringLiteral("Corvelix - Despacho"));
    setModal(false);
    setFixedSize(260, 330);

    Label = new QLabel(QStringLiteral("SIMI Global"), this);
    Label->setObjectName(QStringLiteral("Label"));
    Label->setGeometry(10, 6, 240, 20);
    QFont negrita = Label->font();
    negrita.setBold(true);
    Label->setFont(negrita);
    lbOperacion = new QLabel(this);
    lbOperacion->setObjectName(QStringLiteral("lbOperacion"));
    lbOperacion->setGeometry(10, 28, 240, 20);

    int y = 54;
    const auto boton = [this, &y](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(10, y, 240, 28);
        button->setAutoDefault(false);
        y += 34;
        return button;
    };
    cmdIniciarProceso = boton("cmdIniciarProceso", QStringLiteral("Enviar Todo"));
    cmdSoloLista = boton("cmdSoloLista", QStringLiteral("enviar Lista"));
    cmdsoloCEO = boton("cmdsoloCEO", QStringLiteral("enviar Certificado Origen"));
    cmdCCPACK = boton("cmdCCPACK", QStringLiteral("enviar CC Pack"));
    cmdLimpiarInfoAd = boton("cmdLimpiarInfoAd", QStringLiteral("Limpiar Info Adic SIMI"));
    cmdCargar = boton("cmdCargar", QStringLiteral("Cargar XLS"));
    cmdArticulos = boton("cmdArticulos", QStringLiteral("Ver Articulos"));
    cmdCerrar = boton("cmdCerrar", QStringLiteral("Cerrar"));

    connect(cmdCargar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCargar_Click"), [this] {
            frmSIMIGlobal carga(this);
            carga.m_Despacho = m_Despacho;
            ui().exec(carga);
        });
        Form_Activate();
    });

    connect(cmdIniciarProceso, &QPushButton::clicked, this, [this] { cmdIniciarProceso_Click(); });
    const auto paso = [this](QPushButton* button, const char* handler,
                             void (frmMenuIC::*step)(const QString&)) {
        connect(button, &QPushButton::clicked, this, [this, handler, step] {
            if (enProceso_)
                return;
            enProceso_ = true;
            setBotones(false);
            const auto fin = qScopeGuard([this] {
                enProceso_ = false;
                setBotones(true);
                corvelix::runHandler(*this, QStringLiteral("Form_Activate"),
                                     [this] { cargarDatos(); });
            });
            corvelix::runHandler(*this, QLatin1String(handler),
                                 [this, step] { (this->*step)(m_Despacho); });
        });
    };
    paso(cmdSoloLista, "EnviarLista", &frmMenuIC::EnviarLista);
    paso(cmdsoloCEO, "EnviarCerifOrigen", &frmMenuIC::EnviarCerifOrigen);
    paso(cmdCCPACK, "enviarCCPACK", &frmMenuIC::enviarCCPACK);
    connect(cmdLimpiarInfoAd, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdLimpiarInfoAd_Click"), [this] {
            modDA::CleanInfoAdicionalSIMI(m_Despacho);
            ui().msgBox(QStringLiteral("Se limpio las informaciones adicionales correspondiente "
                                       "a la SIMI"),
                        corvelix::MsgButtons::Ok, corvelix::MsgIcon::Information);
        });
    });
    connect(cmdArticulos, &QPushButton::clicked, this, [this] {
        corvelix::runNumberedHandler(*this, QStringLiteral("cmdArticulos_Click"), [this](int&) {
            frmArmadoITEM vista(this);
            vista.m_Operacion = m_Despacho;
            ui().exec(vista);
        });
        Form_Activate();
    });
    connect(cmdCerrar, &QPushButton::clicked, this, [this] { close(); });
}

QString frmMenuIC::programaHermano() {
    const QString ruta =
        corvelix::settings::getSetting(QStringLiteral("config"), QStringLiteral("programaSIMI"),
                                       QStringLiteral("pernatex"));
    return QDir(corvelix::programFolder()).absoluteFilePath(ruta);
}

void frmMenuIC::showEvent(QShowEvent* event) {
    cerrado_ = false;
    QDialog::showEvent(event);
}

void frmMenuIC::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmMenuIC::Form_Activate() {
    corvelix::runHandler(*this, QStringLiteral("Form_Activate"), [this] {
        cargarDatos();
        if (const QScreen* pantalla = screen(); pantalla != nullptr)
            move(pantalla->availableGeometry().right() + 1 - frameGeometry().width(), y());
        setWindowTitle(QStringLiteral("DESPACHO - Version %1.%2.%3 - Generado %4")
                           .arg(corvelix::build::versionMajor)
                           .arg(corvelix::build::versionMinor)
                           .arg(corvelix::build::versionRevision)
                           .arg(QLatin1String(corvelix::build::buildDate)));
    });
}

void frmMenuIC::cargarDatos() {
    int line = 0;
    corvelix::chainedNumbered(ubicacion("CargarDatos"), line, [&] {
        line = 10;
        lbOperacion->setText(m_Despacho);
        line = 20;
        const int n = corvelix::chainedNumbered(ubicacion("getItemSIMI"), 0,
                                                [&] { return modDA::getItemSIMI(m_Despacho); });
        line = 30;
        cmdIniciarProceso->setText(QStringLiteral("Enviar todo"));
        QFont fuente = cmdIniciarProceso->font();
        fuente.setBold(n > 0);
        cmdIniciarProceso->setFont(fuente);
        cmdIniciarProceso->setEnabled(n > 0 && !enProceso_);
        if (n > 0)
            cmdIniciarProceso->setText(cmdIniciarProceso->text() + QStringLiteral(" (") +
                                       QString::number(n) + QLatin1Char(')'));
    });
}

void frmMenuIC::setBotones(bool enabled) {
    for (QPushButton* button : {cmdIniciarProceso, cmdSoloLista, cmdsoloCEO, cmdCCPACK,
                                cmdLimpiarInfoAd, cmdCargar, cmdArticulos, cmdCerrar})
        button->setEnabled(enabled);
}

void frmMenuIC::reject() {
    close();
}

void frmMenuIC::closeEvent(QCloseEvent* event) {
    // A run waiting for the sibling program keeps the window.
    if (enProceso_) {
        event->ignore();
        return;
    }
    // Not QDialog's handler: it calls reject(), which closes again and so refuses the close.
    event->accept();
    // A second request before the window is gone (a double press) hands back nothing more.
    if (cerrado_)
        return;
    cerrado_ = true;
    corvelix::runHandler(*this, QStringLiteral("Form_Unload"),
                         [] { corvelix::openMainWindow(); });
}

void frmMenuIC::cmdIniciarProceso_Click() {
    if (enProceso_)
        return;
    // Every button waits for the end of the run, however it ends.
    enProceso_ = true;
    setBotones(false);
    const auto fin = qScopeGuard([this] {
        enProceso_ = false;
        setBotones(true);
        corvelix::runHandler(*this, QStringLiteral("Form_Activate"), [this] { cargarDatos(); });
    });
    ui().processEvents();
    corvelix::runNumberedHandler(*this, QStringLiteral("cmdIniciarProceso_Click"),
                                 [this](int& line) {
                                     line = 20;
                                     ProcesarITEM(m_Despacho);
                                     line = 30;
                                     ui().msgBox(QStringLiteral("Fin de proceso ") + m_Despacho,
                                                 corvelix::MsgButtons::Ok,
                                                 corvelix::MsgIcon::Information);
                                 });
}

void frmMenuIC::ProcesarITEM(const QString& operacion) {
    int line = 0;
    corvelix::chained(
        ubicacion("ProcesarITEM"),
        [&] {
            line = 10;
            const QList<modDA::SimiFila> filas = modDA::getSimiFilas(operacion);
            if (filas.isEmpty()) {
                sinArticulos(operacion);
                return;
            }
            line = 20;
            {
                // The values of every row in one catalog transaction: a failed row undoes the
                // step.
                modDA::Transaction transaccion(modDA::kCatalog);
                bool reseteado = false;
                for (const modDA::SimiFila& fila : filas) {
                    if (!fila.lista.trimmed().isEmpty())
                        SetLista(fila.operacion, fila.lista, fila.item);
                    if (!fila.certificado.trimmed().isEmpty())
                        SetCertificadoOrigen(fila.operacion, fila.item, fila.certificado);
                    if (!fila.ccTexto.trimmed().isEmpty()) {
                        if (!reseteado) {
                            CCPackReset(operacion);
                            reseteado = true;
                        }
                        SetCCPack(fila.operacion, fila.item, fila.ccTexto, fila.paisOrigen);
                    }
                }
                transaccion.commit();
            }
            line = 30;
            modDA::CleanInfoAdicionalSIMI(operacion);
            line = 40;
            marcarART_Eliminar(operacion);
            line = 50;
            modDA::closeLocalConnection();
            line = 60;
            QThread::msleep(1000);
            line = 70;
            ejecutarHermano(operacion);
            line = 80;
            EliminarART(operacion);
            line = 90;
            modDA::recalcularCaratula(operacion);
        },
        line);
}

void frmMenuIC::ejecutarHermano(const QString& operacion) {
    const QString programa = programaHermano();
    const corvelix::ProcessResult resultado =
        corvelix::ProcessRunner::run(programa, {operacion}, corvelix::programFolder());
    // Without the sibling's work the deletion must not run.
    if (!resultado.started)
        throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("Corvelix"),
                                QStringLiteral("No se pudo ejecutar el programa ") + programa +
                                    QStringLiteral(": ") + resultado.error);
}

void frmMenuIC::SetLista(const QString& operacion, const QString& lista, int item) {
    if (lista.trimmed().isEmpty())
        return;
    corvelix::chainedNumbered(ubicacion("SetLista"), 0,
                              [&] { porFila(item, [&] { modDA::simiSetLista(operacion, lista, item); }); });
}

void frmMenuIC::SetCertificadoOrigen(const QString& operacion, int item, const QString& valor) {
    corvelix::chained(ubicacion("SetCertificadoOrigen"), [&] {
        porFila(item, [&] { modDA::simiSetCertificadoOrigen(operacion, item, valor); });
    });
}

void frmMenuIC::CCPackReset(const QString& operacion) {
    corvelix::chained(ubicacion("CCPackReset"), [&] { modDA::simiCCPackReset(operacion); });
}

void frmMenuIC::SetCCPack(const QString& operacion, int item, const QString& valor,
                          const QString& origen) {
    corvelix::chainedNumbered(ubicacion("SetCCPack"), 0, [&] {
        porFila(item, [&] {
            const QString cccmnart = corvelix::formatNumber(
                item, mainModule::getFormatoItemDocExportacion(origen));
            modDA::simiSetCCPack(operacion, item, valor, cccmnart);
        });
    });
}

void frmMenuIC::marcarART_Eliminar(const QString& operacion) {
    corvelix::chained(ubicacion("marcarART_Eliminar"),
                      [&] { modDA::marcarART_Eliminar(operacion); });
}

void frmMenuIC::EliminarART(const QString& operacion) {
    corvelix::chained(ubicacion("EliminarART"), [&] {
        modDA::simiEliminarItems(operacion, modDA::getSimiMarcados(operacion));
    });
}

void frmMenuIC::EnviarLista(const QString& operacion) {
    const QList<modDA::SimiFila> filas =
        modDA::getSimiFilasCon(operacion, modDA::SimiValor::Lista);
    if (filas.isEmpty()) {
        sinArticulos(operacion);
        return;
    }
    modDA::Transaction transaccion(modDA::kCatalog);
    for (const modDA::SimiFila& fila : filas)
        SetLista(fila.operacion, fila.lista, fila.item);
    transaccion.commit();
    ui().msgBox(QStringLiteral("Se envió las Listas a los items del despacho"),
                corvelix::MsgButtons::Ok, corvelix::MsgIcon::Information);
}

void frmMenuIC::EnviarCerifOrigen(const QString& operacion) {
    const QList<modDA::SimiFila> filas =
        modDA::getSimiFilasCon(operacion, modDA::SimiValor::Certificado);
    if (filas.isEmpty()) {
        sinArticulos(operacion);
        return;
    }
    modDA::Transaction transaccion(modDA::kCatalog);
    for (const modDA::SimiFila& fila : filas)
        if (!fila.certificado.trimmed().isEmpty())
            SetCertificadoOrigen(fila.operacion, fila.item, fila.certificado);
    transaccion.commit();
    ui().msgBox(QStringLiteral("Se envió los Certificados de Origen a los items del despacho"),
                corvelix::MsgButtons::Ok, corvelix::MsgIcon::Information);
}

void frmMenuIC::enviarCCPACK(const QString& operacion) {
    const QList<modDA::SimiFila> filas =
        modDA::getSimiFilasCon(operacion, modDA::SimiValor::CCPack);
    if (filas.isEmpty()) {
        sinArticulos(operacion);
        return;
    }
    modDA::Transaction transaccion(modDA::kCatalog);
    bool reseteado = false;
    for (const modDA::SimiFila& fila : filas) {
        if (fila.ccTexto.trimmed().isEmpty())
            continue;
        if (!reseteado) {
            CCPackReset(operacion);
            reseteado = true;
        }
        SetCCPack(fila.operacion, fila.item, fila.ccTexto, fila.paisOrigen);
    }
    transaccion.commit();
    ui().msgBox(QStringLiteral("Se envió CCPACK a los items del despacho"),
                corvelix::MsgButtons::Ok, corvelix::MsgIcon::Information);
}
