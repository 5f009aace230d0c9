#include "imports/frmXLS2Cancelaciones.h"

#include "data/declaration_reads.h"
#include "data/sheet_imports.h"
#include "imports/frmSelectCampos.h"
#include "platform/FlexGrid.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QDir>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

using namespace corvelix;

namespace {

const QString kForm = QStringLiteral("frmXLS2Cancelaciones");

QString ubicacion(const char* procedimiento) {
    return QStringLiteral("Corvelix.frmXLS2Cancelaciones.") + QLatin1String(procedimiento);
}

constexpr qint32 kErrCampoRepetido = static_cast<qint32>(0x8005B207u);

[[noreturn]] void desbordamiento() {
    throw VbError(6, QStringLiteral("Corvelix"), QStringLiteral("Desbordamiento"));
}

qint16 aEntero16(double valor) {
    if (valor < -32768.5 || valor >= 32767.5)
        desbordamiento();
    return static_cast<qint16>(valor);
}

// The old CInt: nearest whole number, halves to the even one.
qint16 cint(const QString& texto) {
    const double v = toNumber(texto);
    if (v < -32768.5 || v >= 32767.5)
        desbordamiento();
    return aEntero16(std::nearbyint(v));
}

// The whole part rounded down, as a 16-bit number.
qint16 enteroHaciaAbajo(const QString& texto) {
    const double v = std::floor(toNumber(texto));
    if (v < -32768 || v > 32767)
        desbordamiento();
    return static_cast<qint16>(v);
}

} // namespace

frmXLS2Cancelaciones::frmXLS2Cancelaciones(QWidget* parent)
    : HojaExcelImport(kForm, QDir::homePath(), parent) {
    setWindowTitle(QStringLiteral("Importar Cancelaciones"));
    resize(760, 520);
    lbTitulo = new QLabel(QStringLiteral("Importar Excel para Cancelaciones"), this);
    lbTitulo->setObjectName(QStringLiteral("lbTitulo"));
    lbDespacho = new QLabel(this);
    lbDespacho->setObjectName(QStringLiteral("lbDespacho"));
    cmdAbrirExcel = new QPushButton(QStringLiteral("Abrir Excel"), this);
    cmdAbrirExcel->setObjectName(QStringLiteral("cmdAbrirExcel"));
    lbFactorPonderacion = new QLabel(QStringLiteral("Factor Ponderación"), this);
    lbFactorPonderacion->setObjectName(QStringLiteral("lbFactorPonderacion"));
    txtFactorPonderacion = new QLineEdit(QStringLiteral("100"), this);
    txtFactorPonderacion->setObjectName(QStringLiteral("txtFactorPonderacion"));
    cmdCargarCancelaciones = new QPushButton(QStringLiteral("Cargar Cancelaciones"), this);
    cmdCargarCancelaciones->setObjectName(QStringLiteral("cmdCargarCancelaciones"));
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    for (QPushButton* b : {cmdAbrirExcel, cmdCargarCancelaciones, cmdCancelar})
        b->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lbTitulo, 0, 0, 1, 3);
    layout->addWidget(lbDespacho, 0, 3);
    layout->addWidget(cmdAbrirExcel, 1, 0);
    layout->addWidget(lbArchivo, 1, 1, 1, 3);
    layout->addWidget(grdCanc, 2, 0, 1, 4);
    layout->addWidget(lbFilas, 3, 0);
    layout->addWidget(lbFactorPonderacion, 3, 1);
    layout->addWidget(txtFactorPonderacion, 3, 2);
    layout->addWidget(cmdCargarCancelaciones, 4, 2);
    layout->addWidget(cmdCancelar, 4, 3);
    layout->setRowStretch(2, 1);
    grdCanc->setFixedCols(0);

    new FirstActivation(*this, [this] {
        runHandler(*this, QStringLiteral("Form_Activate"), [this] { Form_Activate(); });
    });
    connect(cmdAbrirExcel, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdAbrirExcel_Click"), [this] { cmdAbrirExcel_Click(); });
    });
    connect(cmdCargarCancelaciones, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdCargarCancelaciones_Click"),
                   [this] { cmdCargarCancelaciones_Click(); }, {MsgIcon::Exclamation, {}, {}});
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdCancelar_Click"), [this] { cmdCancelar_Click(); });
    });
}

void frmXLS2Cancelaciones::Form_Activate() {
    if (activado_)
        return;
    columnas_.fill(-1);
    lbDespacho->setText(m_Despacho);
    activado_ = true;
}

void frmXLS2Cancelaciones::cmdAbrirExcel_Click() {
    if (Seleccionar_Archivo_XLS())
        lf_LevantarExcel(lbArchivo->text());
}

void frmXLS2Cancelaciones::seleccionarCampo() {
    runHandler(*this, QStringLiteral("seleccionarCampo"),
               [this] {
                   frmSelectCamposCancelaciones picker(this);
                   ui().exec(picker);
                   if (!picker.CampoSeleccionado.isEmpty())
                       asignarCampo(picker.CampoSeleccionado);
               },
               {MsgIcon::Exclamation, {}, {}});
}

bool frmXLS2Cancelaciones::ValidarCampos() {
    return chained(ubicacion("ValidarCampos"), [this] {
        static const QStringList repetidos = {
            QStringLiteral("El campo Destinacionitem fue seleccionado mas de una vez"),
            QStringLiteral("El campo DIT fue seleccionado mas de una vez"),
            QStringLiteral("El campo Item fue seleccionado mas de una vez"),
            QStringLiteral("El campo SubItem fue seleccionado mas de una vez"),
            QStringLiteral("El campo NCM fue seleccionado mas de una vez"),
            QStringLiteral("El campo Cantidad fue seleccionado mas de una vez"),
            QStringLiteral("El campo Certificado fue seleccionado mas de una vez"),
            QStringLiteral("El campo FactorPonderacion fue seleccionado mas de una vez")};
        const QStringList& campos = frmSelectCamposCancelaciones::campos();
        columnas_.fill(-1);
        for (int n = 0; n < grdCanc->cols(); ++n) {
            const int f = int(campos.indexOf(grdCanc->textMatrix(1, n)));
            if (f < 0)
                continue;
            if (columnas_[f] != -1)
                throw VbError(kErrCampoRepetido, QStringLiteral("Validando Campos"),
                              repetidos.at(f));
            columnas_[f] = static_cast<qint16>(n);
        }
        const std::pair<Campo, const char*> requeridos[] = {
            {DestinacionItem, "Debe seleccionar la columna DestinacionItem"},
            {DIT, "Debe seleccionar la columna DIT"},
            {Item, "Debe seleccionar la columna Item"},
            {Subitem, "Debe seleccionar la columna SubItem"},
            {Cantidad, "Debe seleccionar la columna Cantidad"}};
        for (const auto& [campo, mensaje] : requeridos)
            if (columnas_[campo] == -1) {
                ui().msgBox(QString::fromUtf8(mensaje), MsgButtons::Ok, MsgIcon::Exclamation);
                return false;
            }
        return true;
    });
}

void frmXLS2Cancelaciones::cargarCancelaciones() {
    chained(ubicacion("cargarCancelaciones"), [this] {
        if (ui().msgBox(QStringLiteral("Esta operación eliminará las cancelaciones cargadas "
                                       "actualmente de ") +
                            m_Despacho + QStringLiteral(", desea continuar?"),
                        MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
            return;
        const auto celda = [this](int fila, Campo campo) {
            return columnas_[campo] == -1 ? QString() : grdCanc->textMatrix(fila, columnas_[campo]);
        };
        const bool ic06 = modDA::extraerSubRegimen(m_Despacho).toUpper() == QLatin1String("IC06");
        // Every row is read and converted before anything is written.
        std::vector<modDA::LineaCancelacionHoja> lineas;
        for (int r = 2; r < grdCanc->rows(); ++r) {
            modDA::LineaCancelacionHoja l;
            const QString destino = celda(r, DestinacionItem);
            l.despachoApu = celda(r, DIT);
            l.itemApu = cint(celda(r, Item));
            l.subitemApu = cint(celda(r, Subitem));
            l.ncm = celda(r, NCM);
            l.cantidad = toNumber(celda(r, Cantidad));
            l.certificado = celda(r, Certificado);
            if (ic06)
                l.factor.clear();
            else if (columnas_[Factor] != -1)
                l.factor = celda(r, Factor);
            else
                l.factor = txtFactorPonderacion->text();
            if (l.despachoApu.isEmpty())
                continue;
            l.itemDestino = enteroHaciaAbajo(destino);
            lineas.push_back(l);
        }
        ui().setBusy(true);
        modDA::reemplazarCancelaciones(m_Despacho, lineas);
        ui().setBusy(false);
        ui().msgBox(QStringLiteral("Se proceso el archivo excel"), MsgButtons::Ok,
                    MsgIcon::Information);
        cmdCancelar_Click();
    });
}

void frmXLS2Cancelaciones::cmdCargarCancelaciones_Click() {
    if (ValidarCampos())
        cargarCancelaciones();
}

void frmXLS2Cancelaciones::cmdCancelar_Click() {
    m_Despacho.clear();
    activado_ = false;
    done(QDialog::Rejected);
}

void frmXLS2Cancelaciones::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdCancelar->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmXLS2Cancelaciones::reject() {
    cmdCancelar_Click();
}
