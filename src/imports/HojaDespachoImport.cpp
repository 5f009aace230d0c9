#include "imports/HojaDespachoImport.h"

#include "imports/frmSelectCampos.h"
#include "platform/FlexGrid.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace corvelix;

namespace {

constexpr qint32 kErrCampoRepetido = static_cast<qint32>(0x8005B207u);

} // namespace

HojaDespachoImport::HojaDespachoImport(const QString& formName, const QString& initialFolder,
                                       const QString& titulo, const QString& encabezado,
                                       const QString& textoCargar, int campos, QWidget* parent)
    : HojaExcelImport(formName, initialFolder, parent), columnas_(std::size_t(campos), -1) {
    setWindowTitle(titulo);
    resize(760, 520);
    lbTitulo = new QLabel(encabezado, this);
    lbTitulo->setObjectName(QStringLiteral("lbTitulo"));
    lbDespacho = new QLabel(this);
    lbDespacho->setObjectName(QStringLiteral("lbDespacho"));
    cmdAbrirExcel = plainButton(this, "cmdAbrirExcel", QStringLiteral("Abrir Excel"));
    cmdCargarCancelaciones = plainButton(this, "cmdCargarCancelaciones", textoCargar);
    cmdCancelar = plainButton(this, "cmdCancelar", QStringLiteral("Cancelar"));

    layout_ = new QGridLayout(this);
    layout_->addWidget(lbTitulo, 0, 0, 1, 3);
    layout_->addWidget(lbDespacho, 0, 3);
    layout_->addWidget(cmdAbrirExcel, 1, 0);
    layout_->addWidget(lbArchivo, 1, 1, 1, 3);
    layout_->addWidget(grdCanc, 2, 0, 1, 4);
    layout_->addWidget(lbFilas, 3, 0);
    layout_->addWidget(cmdCargarCancelaciones, 4, 2);
    layout_->addWidget(cmdCancelar, 4, 3);
    layout_->setRowStretch(2, 1);
    grdCanc->setFixedCols(0);

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

QString HojaDespachoImport::ubicacion(const char* procedimiento) const {
    return QStringLiteral("Corvelix.") + objectName() + QLatin1Char('.') +
           QLatin1String(procedimiento);
}

void HojaDespachoImport::cmdAbrirExcel_Click() {
    if (Seleccionar_Archivo_XLS())
        lf_LevantarExcel(lbArchivo->text());
}

void HojaDespachoImport::seleccionarCampo() {
    runHandler(*this, QStringLiteral("seleccionarCampo"),
               [this] {
                   const std::unique_ptr<frmSelectCamposBase> picker = selectorCampos();
                   ui().exec(*picker);
                   if (!picker->CampoSeleccionado.isEmpty())
                       asignarCampo(picker->CampoSeleccionado);
               },
               {MsgIcon::Exclamation, {}, {}});
}

bool HojaDespachoImport::validarColumnas(const char* procedimiento, const QStringList& campos,
                                         const QStringList& repetidos,
                                         const std::vector<std::pair<int, QString>>& requeridos) {
    return chained(ubicacion(procedimiento), [&] {
        columnas_.assign(std::size_t(campos.size()), -1);
        for (int n = 0; n < grdCanc->cols(); ++n) {
            const int f = int(campos.indexOf(grdCanc->textMatrix(1, n)));
            if (f < 0)
                continue;
            if (columnas_[std::size_t(f)] != -1)
                throw VbError(kErrCampoRepetido, QStringLiteral("Validando Campos"),
                              repetidos.at(f));
            columnas_[std::size_t(f)] = n;
        }
        for (const auto& [campo, mensaje] : requeridos)
            if (columnas_[std::size_t(campo)] == -1) {
                ui().msgBox(mensaje, MsgButtons::Ok, MsgIcon::Exclamation);
                return false;
            }
        return true;
    });
}

QString HojaDespachoImport::celda(int fila, int campo) const {
    const int columna = columnas_[std::size_t(campo)];
    return columna == -1 ? QString() : grdCanc->textMatrix(fila, columna);
}

void HojaDespachoImport::terminarCarga(const std::function<void()>& escribir) {
    ui().setBusy(true);
    escribir();
    ui().setBusy(false);
    ui().msgBox(QStringLiteral("Se proceso el archivo excel"), MsgButtons::Ok,
                MsgIcon::Information);
    cmdCancelar_Click();
}

void HojaDespachoImport::cmdCancelar_Click() {
    m_Despacho.clear();
    done(QDialog::Rejected);
}

void HojaDespachoImport::reject() {
    cmdCancelar_Click();
}
