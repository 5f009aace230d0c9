#include "imports/frmMenuIC.h"

#include "imports/frmSIMIGlobal.h"

#include "assembly/frmArmadoITEM.h"
#include "data/attached_rows.h"
#include "data/declaration_reads.h"
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
#include <QSet>
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

constexpr qint32 kErrItemNoEncontrado = static_cast<qint32>(0x8005E235u);

// The work rows name items by the number they show; the catalog's rows hang on the item's key.
// The keys are read once per step, and a row that would send something to a number no item
// of the declaration shows stops the step before anything is written.
template <class F>
QHash<QString, QString> clavesDeFilas(const QString& operacion, const QList<modDA::SimiFila>& filas,
                                      F&& enviaAlgo) {
    QHash<QString, QString> claves = modDA::getClavesPorNumeroMostrado(operacion);
    for (const modDA::SimiFila& fila : filas)
        if (enviaAlgo(fila) && !claves.contains(cuatroDigitos(fila.item)))
            throw corvelix::VbError(kErrItemNoEncontrado, QStringLiteral("Corvelix"),
                                    QStringLiteral("No se encuentra el item ") +
                                        cuatroDigitos(fila.item) +
                                        QStringLiteral(" en la operacion ") + operacion);
    return claves;
}

// A sibling program that cannot be started, or was not waited for.
[[noreturn]] void sinHermano(const QString& programa, const QString& motivo) {
    throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("Corvelix"),
                            QStringLiteral("No se pudo ejecutar el programa ") + programa +
                                QStringLiteral(": ") + motivo);
}

bool conValor(const QString& valor) {
    return !valor.trimmed().isEmpty();
}

// An item whose rows repeat a value gets it once: a second CCPAC row would be one more than
// the item may have, and a certificate would be written over itself.
class UnaVezPorItem {
public:
    bool primera(int item) {
        if (hechos_.contains(item))
            return false;
        hechos_.insert(item);
        return true;
    }

private:
    QSet<int> hechos_;
};

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
    const QString ruta = corvelix::settings::getSetting(
        QStringLiteral("config"), QStringLiteral("programaSIMI"), QStringLiteral("pernatex"));
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
    corvelix::runNumberedHandler(
        *this, QStringLiteral("cmdIniciarProceso_Click"), [this](int& line) {
            line = 20;
            ProcesarITEM(m_Despacho);
            line = 30;
            ui().msgBox(QStringLiteral("Fin de proceso ") + m_Despacho, corvelix::MsgButtons::Ok,
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
            line = 15;
            // A run that cannot reach its sibling program stops before it changes anything.
            verificarHermano();
            line = 20;
            const Claves claves = clavesDeFilas(operacion, filas, [](const modDA::SimiFila& f) {
                return conValor(f.lista) || conValor(f.certificado) || conValor(f.ccTexto);
            });
            {
                // The values of every row in one catalog transaction: a failed row undoes the
                // step.
                modDA::Transaction transaccion(modDA::kCatalog);
                bool reseteado = false;
                UnaVezPorItem listas;
                UnaVezPorItem certificados;
                UnaVezPorItem textos;
                for (const modDA::SimiFila& fila : filas) {
                    if (conValor(fila.lista) && listas.primera(fila.item))
                        SetLista(fila.operacion, fila.lista, fila.item, claves);
                    if (conValor(fila.certificado) && certificados.primera(fila.item))
                        SetCertificadoOrigen(fila.operacion, fila.item, fila.certificado, claves);
                    if (conValor(fila.ccTexto) && textos.primera(fila.item)) {
                        if (!reseteado) {
                            CCPackReset(operacion);
                            reseteado = true;
                        }
                        SetCCPack(fila.operacion, fila.item, fila.ccTexto, fila.paisOrigen, claves);
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
            EliminarART(operacion, claves);
            line = 90;
            modDA::recalcularCaratula(operacion);
        },
        line);
}

void frmMenuIC::verificarHermano() {
    const QString programa = programaHermano();
    const QFileInfo info(programa);
    if (!info.exists())
        sinHermano(programa, QStringLiteral("no existe"));
    if (!info.isFile() || !info.isExecutable())
        sinHermano(programa, QStringLiteral("no es un programa ejecutable"));
}

corvelix::ProcessStatic<int>& frmMenuIC::esperaHermanoMs() {
    static corvelix::ProcessStatic<int> value{60000};
    return value;
}

void frmMenuIC::ejecutarHermano(const QString& operacion) {
    const QString programa = programaHermano();
    corvelix::ProcessRunner hermano;
    // Without the sibling's work the deletion must not run.
    if (!hermano.start(programa, {operacion}, corvelix::programFolder()))
        sinHermano(programa, hermano.result().error);
    // A sibling that never ends must not hold the window for good: the user may stop waiting,
    // which ends the run as a failed sibling does, before the deletion.
    const bool termino = hermano.waitForEnd(esperaHermanoMs(), [&programa] {
        return ui().msgBox(QStringLiteral("El programa ") + programa +
                               QStringLiteral(" todavía no terminó.\r\n\r\n¿Desea seguir "
                                              "esperando?"),
                           corvelix::MsgButtons::YesNo,
                           corvelix::MsgIcon::Question) == corvelix::MsgResult::Yes;
    });
    if (!termino)
        sinHermano(programa, QStringLiteral("no terminó y se dejó de esperar"));
}

void frmMenuIC::SetLista(const QString& operacion, const QString& lista, int item,
                         const Claves& claves) {
    if (lista.trimmed().isEmpty())
        return;
    corvelix::chainedNumbered(ubicacion("SetLista"), 0, [&] {
        porFila(item,
                [&] { modDA::simiSetLista(operacion, lista, claves.value(cuatroDigitos(item))); });
    });
}

void frmMenuIC::SetCertificadoOrigen(const QString& operacion, int item, const QString& valor,
                                     const Claves& claves) {
    corvelix::chained(ubicacion("SetCertificadoOrigen"), [&] {
        porFila(item, [&] {
            modDA::simiSetCertificadoOrigen(operacion, claves.value(cuatroDigitos(item)), valor);
        });
    });
}

void frmMenuIC::CCPackReset(const QString& operacion) {
    corvelix::chained(ubicacion("CCPackReset"), [&] { modDA::simiCCPackReset(operacion); });
}

void frmMenuIC::SetCCPack(const QString& operacion, int item, const QString& valor,
                          const QString& origen, const Claves& claves) {
    corvelix::chainedNumbered(ubicacion("SetCCPack"), 0, [&] {
        porFila(item, [&] {
            const QString cccmnart =
                corvelix::formatNumber(item, mainModule::getFormatoItemDocExportacion(origen));
            modDA::simiSetCCPack(operacion, claves.value(cuatroDigitos(item)), valor, cccmnart);
        });
    });
}

void frmMenuIC::marcarART_Eliminar(const QString& operacion) {
    corvelix::chained(ubicacion("marcarART_Eliminar"),
                      [&] { modDA::marcarART_Eliminar(operacion); });
}

void frmMenuIC::EliminarART(const QString& operacion, const Claves& claves) {
    corvelix::chained(ubicacion("EliminarART"), [&] {
        QList<modDA::SimiItem> items;
        for (const int numero : modDA::getSimiMarcados(operacion)) {
            // A number no item shows (a gap in the numbering) leaves nothing to delete.
            const QString nart = claves.value(cuatroDigitos(numero));
            if (!nart.isEmpty())
                items.append({numero, nart});
        }
        modDA::simiEliminarItems(operacion, items);
    });
}

void frmMenuIC::EnviarLista(const QString& operacion) {
    const QList<modDA::SimiFila> filas = modDA::getSimiFilasCon(operacion, modDA::SimiValor::Lista);
    if (filas.isEmpty()) {
        sinArticulos(operacion);
        return;
    }
    const Claves claves =
        clavesDeFilas(operacion, filas, [](const modDA::SimiFila& f) { return conValor(f.lista); });
    modDA::Transaction transaccion(modDA::kCatalog);
    UnaVezPorItem listas;
    for (const modDA::SimiFila& fila : filas)
        if (listas.primera(fila.item))
            SetLista(fila.operacion, fila.lista, fila.item, claves);
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
    const Claves claves = clavesDeFilas(
        operacion, filas, [](const modDA::SimiFila& f) { return conValor(f.certificado); });
    modDA::Transaction transaccion(modDA::kCatalog);
    UnaVezPorItem certificados;
    for (const modDA::SimiFila& fila : filas)
        if (conValor(fila.certificado) && certificados.primera(fila.item))
            SetCertificadoOrigen(fila.operacion, fila.item, fila.certificado, claves);
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
    const Claves claves = clavesDeFilas(
        operacion, filas, [](const modDA::SimiFila& f) { return conValor(f.ccTexto); });
    modDA::Transaction transaccion(modDA::kCatalog);
    bool reseteado = false;
    UnaVezPorItem textos;
    for (const modDA::SimiFila& fila : filas) {
        if (!conValor(fila.ccTexto) || !textos.primera(fila.item))
            continue;
        if (!reseteado) {
            CCPackReset(operacion);
            reseteado = true;
        }
        SetCCPack(fila.operacion, fila.item, fila.ccTexto, fila.paisOrigen, claves);
    }
    transaccion.commit();
    ui().msgBox(QStringLiteral("Se envió CCPACK a los items del despacho"),
                corvelix::MsgButtons::Ok, corvelix::MsgIcon::Information);
}
