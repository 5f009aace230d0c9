#include "imports/frmSIMIGlobal.h"

#include "data/declaration_reads.h"
#include "data/simi_work.h"
#include "imports/frmSelectCampos.h"
#include "platform/FlexGrid.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

using namespace corvelix;

namespace {

QString ubicacion(const char* procedure) {
    return QStringLiteral("Corvelix.frmSIMIGlobal.") + QLatin1String(procedure);
}

enum Campo { Item, Cantidad, Fob, KGNeto, Certificado, Acuerdo, CCPack, kCampos };

// The values an item takes from the sheet: rows of one item that give different ones are
// refused (the run would write both, or keep whichever came last); rows that repeat the
// same value, or leave it empty, agree.
class ValoresPorItem {
public:
    void agregar(int filaHoja, const modDA::SimiFila& f) {
        comparar(filaHoja, f.item, f.lista, listas_, QStringLiteral("lista"));
        comparar(filaHoja, f.item, f.certificado, certificados_,
                 QStringLiteral("certificado de origen"));
        comparar(filaHoja, f.item, f.ccTexto, textos_, QStringLiteral("CC Pack"));
    }

private:
    struct Primero {
        int filaHoja = 0;
        QString valor;
    };
    static void comparar(int filaHoja, int item, const QString& valor, QHash<int, Primero>& vistos,
                         const QString& que) {
        const QString v = valor.trimmed();
        if (v.isEmpty())
            return;
        const auto it = vistos.constFind(item);
        if (it == vistos.constEnd()) {
            vistos.insert(item, {filaHoja, v});
            return;
        }
        if (it->valor != v)
            throw VbError(
                13, QStringLiteral("Corvelix"),
                QStringLiteral("Filas %1 y %2 de la hoja: el item %3 tiene dos valores de "
                               "%4 distintos, \"%5\" y \"%6\"; no se modificó nada")
                    .arg(it->filaHoja)
                    .arg(filaHoja)
                    .arg(item)
                    .arg(que, it->valor, v));
    }
    QHash<int, Primero> listas_;
    QHash<int, Primero> certificados_;
    QHash<int, Primero> textos_;
};

// Quantities, FOB and kilos are kept with two decimals; the declaration's columns bound them.
constexpr int kDecimales = 2;

} // namespace

// ---------------------------------------------------------------- frmCampos

frmCampos::frmCampos(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCampos"));
    setWindowTitle(QStringLiteral("Seleccione Campos"));
    auto* layout = new QVBoxLayout(this);
    const ControlesDeSeleccion controles = agregarControlesDeSeleccion(*this, *layout);
    cboCampos = controles.campos;
    cmdSeleccionar = controles.seleccionar;
    cmdCancelar = controles.cancelar;
    cboCampos->installEventFilter(this);
    conectarSeleccion(*this);
}

const QStringList& frmCampos::campos() {
    static const QStringList list = {
        QStringLiteral("Item"),   QStringLiteral("Cantidad"),           QStringLiteral("Fob"),
        QStringLiteral("KGNeto"), QStringLiteral("Certificado Origen"), QStringLiteral("Acuerdo"),
        QStringLiteral("CC Pack")};
    return list;
}

void frmCampos::Form_Activate() {
    if (activado_)
        return;
    cboCampos->clear();
    cboCampos->addItems(campos());
    cboCampos->setCurrentIndex(-1);
    activado_ = true;
}

void frmCampos::cmdSeleccionar_Click() {
    if (cboCampos->currentIndex() < 0) {
        ui().msgBox(QStringLiteral("debe seleccionar un campo"), MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return;
    }
    sCampo = cboCampos->currentText();
    activado_ = false;
    done(QDialog::Accepted);
}

void frmCampos::cmdCancelar_Click() {
    activado_ = false;
    done(QDialog::Rejected);
}

void frmCampos::reject() {
    cmdCancelar_Click();
}

bool frmCampos::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cboCampos && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdSeleccionar->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- frmSIMIGlobal

frmSIMIGlobal::frmSIMIGlobal(QWidget* parent)
    : HojaExcelImport(QStringLiteral("frmSIMIGlobal"), QString(), parent) {
    setWindowTitle(QStringLiteral("SIMI Global"));
    resize(760, 520);
    lbDespacho = new QLabel(this);
    lbDespacho->setObjectName(QStringLiteral("lbDespacho"));
    cmdAbrir = new QPushButton(QStringLiteral("Abrir Archivo [Ins]"), this);
    cmdAbrir->setObjectName(QStringLiteral("cmdAbrir"));
    cmdAutoselecion = new QPushButton(QStringLiteral("Auto Selección"), this);
    cmdAutoselecion->setObjectName(QStringLiteral("cmdAutoselecion"));
    cmdGuardar = new QPushButton(QStringLiteral("Guardar"), this);
    cmdGuardar->setObjectName(QStringLiteral("cmdGuardar"));
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    for (QPushButton* b : {cmdAbrir, cmdAutoselecion, cmdGuardar, cmdCancelar})
        b->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lbDespacho, 0, 0, 1, 2);
    layout->addWidget(cmdAbrir, 1, 0);
    layout->addWidget(lbArchivo, 1, 1, 1, 3);
    layout->addWidget(grdCanc, 2, 0, 1, 4);
    layout->addWidget(lbFilas, 3, 0, 1, 2);
    layout->addWidget(cmdAutoselecion, 4, 1);
    layout->addWidget(cmdGuardar, 4, 2);
    layout->addWidget(cmdCancelar, 4, 3);
    layout->setRowStretch(2, 1);
    grdCanc->setObjectName(QStringLiteral("grdExcel"));
    grdCanc->setFixedCols(0);

    new FirstActivation(*this, [this] {
        runHandler(*this, QStringLiteral("Form_Activate"), [this] { Form_Activate(); });
    });
    connect(cmdAbrir, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdAbrir_Click"), [this] { cmdAbrir_Click(); });
    });
    connect(cmdAutoselecion, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdAutoselecion_Click"),
                   [this] { Seleccionarautomaticamente_dorsel(); });
    });
    connect(cmdGuardar, &QPushButton::clicked, this, [this] {
        GuardOptions opciones;
        opciones.icon = MsgIcon::Exclamation;
        opciones.compose = [](const VbError& error) {
            return error.description + QStringLiteral("\r\n\r\n") +
                   QStringLiteral("Corvelix.frmSIMIGlobal.cmdGuardar_Click.::") + error.source;
        };
        guardEvent(
            QStringLiteral("Corvelix.frmSIMIGlobal.cmdGuardar_Click.::"),
            [this] { guardarDatos(); }, opciones);
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdCancelar_Click"), [this] { cmdCancelar_Click(); });
    });
}

void frmSIMIGlobal::Form_Activate() {
    if (activado_)
        return;
    if (m_Despacho.isEmpty())
        m_Despacho = QStringLiteral("18001SIMI99999Z");
    lbDespacho->setText(m_Despacho);
    activado_ = true;
}

void frmSIMIGlobal::cmdAbrir_Click() {
    if (Seleccionar_Archivo_XLS())
        lf_LevantarExcel(lbArchivo->text());
}

void frmSIMIGlobal::seleccionarCampo() {
    runHandler(*this, QStringLiteral("seleccionarCampo"), [this] {
        frmCampos picker(this);
        picker.sCampo.clear();
        ui().exec(picker);
        if (!picker.sCampo.isEmpty())
            asignarCampo(picker.sCampo);
    });
}

void frmSIMIGlobal::Seleccionarautomaticamente_dorsel() {
    chained(ubicacion("Seleccionarautomaticamente_dorsel"), [this] {
        static const std::array<std::pair<const char*, const char*>, 7> claves{{
            {"item", "Item"},
            {"cantidad", "Cantidad"},
            {"total", "Fob"},
            {"peso", "KGNeto"},
            {"cod", "Certificado Origen"},
            {"ac", "Acuerdo"},
            {"sd", "CC Pack"},
        }};
        for (int c = 0; c < grdCanc->cols(); ++c) {
            const QString encabezado = grdCanc->textMatrix(0, c).toLower();
            for (const auto& [clave, campo] : claves)
                if (encabezado == QLatin1String(clave))
                    grdCanc->setTextMatrix(1, c, QLatin1String(campo));
        }
    });
}

void frmSIMIGlobal::guardarDatos() {
    int line = 10;
    chainedNumbered(ubicacion("GuardarDatos"), line, [&] {
        line = 20;
        std::array<int, kCampos> columna{};
        columna.fill(-1);
        for (int c = 0; c < grdCanc->cols(); ++c) {
            const int f = int(frmCampos::campos().indexOf(grdCanc->textMatrix(1, c)));
            if (f >= 0)
                columna[f] = c;
        }
        // A sheet that read no rows would leave every item without a work row, and the run
        // would delete them all.
        if (grdCanc->rows() <= 2) {
            line = 40;
            ui().msgBox(QStringLiteral("La hoja no tiene filas para cargar: no se modificó nada."),
                        MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        if (columna[Item] < 0 || columna[Cantidad] < 0 || columna[Fob] < 0) {
            line = 30;
            ui().msgBox(
                QStringLiteral("Debe seleccionar Item, Cantidad y FOB para poder continuar."),
                MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        line = 60;
        const auto celda = [this, &columna](int fila, Campo campo) {
            return columna[campo] < 0 ? QString() : grdCanc->textMatrix(fila, columna[campo]);
        };
        // Every row checked and completed before anything is written.
        QList<modDA::SimiFila> filas;
        filas.reserve(grdCanc->rows() - 2);
        ValoresPorItem valores;
        chainedNumbered(ubicacion("InsertarDatos"), 0, [&] {
            const QLocale c = QLocale::c();
            for (int r = 2; r < grdCanc->rows(); ++r) {
                const int numeroFila = filaHoja(r);
                modDA::SimiFila f;
                f.operacion = m_Despacho;
                const QString item = celda(r, Item).trimmed();
                if (!isNumeric(item))
                    celdaInvalida(numeroFila, QStringLiteral("el item"), item,
                                  QStringLiteral("no es un número"));
                const double numeroItem = toNumber(item);
                if (!esEntero(numeroItem))
                    celdaInvalida(numeroFila, QStringLiteral("el item"), item,
                                  QStringLiteral("no es un número entero"));
                if (numeroItem < 1 || numeroItem > 9999)
                    celdaInvalida(numeroFila, QStringLiteral("el item"), item,
                                  QStringLiteral("no es un número de item"));
                f.item = int(numeroItem);
                const QString cantidad = celda(r, Cantidad).trimmed();
                bool ok = false;
                f.cantidad =
                    c.toDouble(QString(cantidad).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
                if (!ok)
                    celdaInvalida(numeroFila, QStringLiteral("la cantidad"), cantidad,
                                  QStringLiteral("no es un número"));
                const QString fob = celda(r, Fob).trimmed();
                if (!isNumeric(fob))
                    celdaInvalida(numeroFila, QStringLiteral("el FOB"), fob,
                                  QStringLiteral("no es un número"));
                // A value is checked as it is kept, rounded.
                const auto guardado = [numeroFila](double valor, const QString& campo,
                                                   const QString& texto) {
                    const std::optional<double> v = valorDeCatalogo(valor, kDecimales);
                    if (!v)
                        celdaInvalida(numeroFila, campo, texto, fueraDelCatalogo(kDecimales));
                    return *v;
                };
                (void)guardado(f.cantidad, QStringLiteral("la cantidad"), cantidad);
                f.fob = guardado(toNumber(fob), QStringLiteral("el FOB"), fob);
                if (f.cantidad < 0)
                    celdaInvalida(numeroFila, QStringLiteral("la cantidad"), cantidad,
                                  QStringLiteral("es negativa"));
                if (f.fob < 0)
                    celdaInvalida(numeroFila, QStringLiteral("el FOB"), fob,
                                  QStringLiteral("es negativo"));
                if (columna[KGNeto] >= 0) {
                    const QString kilos = celda(r, KGNeto).trimmed();
                    if (!isNumeric(kilos))
                        celdaInvalida(numeroFila, QStringLiteral("el peso"), kilos,
                                      QStringLiteral("no es un número"));
                    f.kgNeto = guardado(toNumber(kilos), QStringLiteral("el peso"), kilos);
                }
                f.certificado = celda(r, Certificado);
                f.lista = celda(r, Acuerdo);
                f.ccTexto = celda(r, CCPack);
                valores.agregar(numeroFila, f);
                modDA::SIMItemCampos campos;
                try {
                    campos = modDA::getCamposSIM(m_Despacho, QString::number(f.item));
                } catch (...) {
                    const VbError error = currentError();
                    throw VbError(error.number, error.source,
                                  QStringLiteral("Fila %1 de la hoja: ").arg(numeroFila) +
                                      error.description);
                }
                f.declaradaUnidad = campos.declaredUnit;
                f.declaradaCantidad = campos.declaredQuantity;
                f.estadisticaUnidad = campos.statisticalUnit;
                f.estadisticaCantidad = campos.statisticalQuantity;
                f.paisOrigen = campos.originCountry;
                filas.append(f);
            }
        });
        line = 70;
        const int maximo = chainedNumbered(ubicacion("RellenarItems"), 0,
                                           [&] { return modDA::maxItemDespacho(m_Despacho); });
        ui().setBusy(true);
        modDA::simiReemplazarFilas(m_Despacho, filas, maximo);
        ui().setBusy(false);
        line = 80;
        ui().msgBox(QStringLiteral("Fin de Proceso"), MsgButtons::Ok, MsgIcon::Information);
        line = 90;
        cmdCancelar_Click();
    });
}

void frmSIMIGlobal::cmdCancelar_Click() {
    activado_ = false;
    done(QDialog::Rejected);
}

void frmSIMIGlobal::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        cmdAbrir->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSIMIGlobal::reject() {
    cmdCancelar_Click();
}
