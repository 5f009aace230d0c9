#include "imports/frmSelectCampos.h"

#include "runtime/Ui.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace corvelix;

frmSelectCamposBase::frmSelectCamposBase(const QString& formName, const QStringList& campos,
                                         const QStringList& etiquetas, QWidget* parent)
    : QDialog(parent), campos_(campos) {
    setObjectName(formName);
    setWindowTitle(QStringLiteral("Seleccionar"));
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < etiquetas.size(); ++i) {
        auto* label = new QLabel(etiquetas.at(i), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        layout->addWidget(label);
    }
    const ControlesDeSeleccion controles = agregarControlesDeSeleccion(*this, *layout);
    cboCampos = controles.campos;
    cmdSeleccionar = controles.seleccionar;
    cmdCancelar = controles.cancelar;
    conectarSeleccion(*this);
}

ControlesDeSeleccion agregarControlesDeSeleccion(QDialog& form, QBoxLayout& layout) {
    auto* campos = new QComboBox(&form);
    campos->setObjectName(QStringLiteral("cboCampos"));
    layout.addWidget(campos);
    auto* botones = new QHBoxLayout;
    auto* seleccionar = new QPushButton(QStringLiteral("Seleccionar"), &form);
    seleccionar->setObjectName(QStringLiteral("cmdSeleccionar"));
    auto* cancelar = new QPushButton(QStringLiteral("Cancelar"), &form);
    cancelar->setObjectName(QStringLiteral("cmdCancelar"));
    for (QPushButton* b : {seleccionar, cancelar}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    layout.addLayout(botones);
    return {campos, seleccionar, cancelar};
}

void frmSelectCamposBase::Form_Activate() {
    if (activado_)
        return;
    CampoSeleccionado.clear();
    cargarCampos();
    activado_ = true;
}

void frmSelectCamposBase::cargarCampos() {
    cboCampos->clear();
    cboCampos->addItems(campos_);
    cboCampos->setCurrentIndex(-1);
}

void frmSelectCamposBase::cmdSeleccionar_Click() {
    Seleccionar();
}

void frmSelectCamposBase::Seleccionar() {
    runHandler(*this, QStringLiteral("Seleccionar"), [this] {
        if (cboCampos->currentIndex() < 0) {
            ui().msgBox(QStringLiteral("Debe seleccionar un campo"), MsgButtons::Ok,
                        MsgIcon::Exclamation);
            return;
        }
        CampoSeleccionado = cboCampos->currentText();
        activado_ = false;
        done(QDialog::Accepted);
    });
}

void frmSelectCamposBase::cmdCancelar_Click() {
    activado_ = false;
    CampoSeleccionado.clear();
    done(QDialog::Rejected);
}

void frmSelectCamposBase::reject() {
    cmdCancelar_Click();
}

frmSelectCamposCancelaciones::frmSelectCamposCancelaciones(QWidget* parent)
    : frmSelectCamposBase(QStringLiteral("frmSelectCamposCancelaciones"), campos(),
                          {QStringLiteral("Seleccionar Campos")}, parent) {}

const QStringList& frmSelectCamposCancelaciones::campos() {
    static const QStringList list = {QStringLiteral("DestinacionItem"),
                                     QStringLiteral("DIT"),
                                     QStringLiteral("Item"),
                                     QStringLiteral("Subitem"),
                                     QStringLiteral("NCM"),
                                     QStringLiteral("Cantidad"),
                                     QStringLiteral("Certificado"),
                                     QStringLiteral("Factor Ponderacion")};
    return list;
}

frmSelectCamposLiquidacion::frmSelectCamposLiquidacion(QWidget* parent)
    : frmSelectCamposBase(
          QStringLiteral("frmSelectCamposLiquidacion"), campos(),
          {QStringLiteral("Seleccionar Campos"), QStringLiteral("Conceptos Liquidacion")}, parent) {
}

const QStringList& frmSelectCamposLiquidacion::campos() {
    static const QStringList list = {QStringLiteral("Item"), QStringLiteral("Codigo"),
                                     QStringLiteral("Tipo"), QStringLiteral("Base"),
                                     QStringLiteral("Coef"), QStringLiteral("Total")};
    return list;
}
