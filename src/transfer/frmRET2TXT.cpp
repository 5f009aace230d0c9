#include "transfer/frmRET2TXT.h"

#include "data/declaration_reads.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "shell/ClCntrl.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;

namespace {

bool cuitValido(const QString& cuit) {
    return cuit.trimmed().size() == 11;
}

} // namespace

frmRET2TXT::frmRET2TXT(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRET2TXT"));
    setWindowTitle(QStringLiteral("Corvelix"));
    setFixedSize(420, 230);

    const auto etiqueta = [this](const QString& texto, int y, const char* name = nullptr) {
        auto* label = new QLabel(texto, this);
        if (name != nullptr)
            label->setObjectName(QLatin1String(name));
        label->setGeometry(12, y, 190, 22);
        return label;
    };
    const auto texto = [this](const char* name, int y) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(206, y, 200, 22);
        return box;
    };
    const auto lista = [this](const char* name, int y) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(QLatin1String(name));
        // A typed value outside the list is kept, as the header file may carry one.
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setGeometry(206, y, 200, 22);
        return combo;
    };

    etiqueta(QStringLiteral("CUIT Despachante"), 12);
    txtCUITDespachante = texto("txtCUITDespachante", 12);
    etiqueta(QStringLiteral("CUIT Importador / Exportador"), 42);
    txtCUITImportador = texto("txtCUITImportador", 42);
    etiqueta(QStringLiteral("Aduana"), 72);
    txtAduana = texto("txtAduana", 72);
    etiqueta(QStringLiteral("SubRegimen"), 102);
    cboSubReg = lista("cboSubReg", 102);
    lbcondicionventa = etiqueta(QStringLiteral("Condicion Venta"), 132, "lbcondicionventa");
    cboCondicionVenta = lista("cboCondicionVenta", 132);

    cmdConfirmar = new QPushButton(QStringLiteral("Confirmar"), this);
    cmdConfirmar->setObjectName(QStringLiteral("cmdConfirmar"));
    cmdConfirmar->setGeometry(206, 186, 96, 28);
    cmdConfirmar->setAutoDefault(false);
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(310, 186, 96, 28);
    cmdCancelar->setAutoDefault(false);

    // Kept for the window's life.
    for (QLineEdit* box : {txtCUITDespachante, txtCUITImportador, txtAduana})
        (new ClCntrl(this))->sLinkText(box);
    (new ClCntrl(this))->sLinkCBoBox(cboSubReg);

    connect(cmdConfirmar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdConfirmar_Click"),
                             [this] { cmdConfirmar_Click(); });
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCancelar_Click"),
                             [this] { cmdCancelar_Click(); });
    });

    activacion_ = new corvelix::FirstActivation(*this, [this] {
        corvelix::GuardOptions options;
        options.icon = MsgIcon::Exclamation;
        options.compose = [](const corvelix::VbError& error) {
            return error.description + QStringLiteral(" - ") + QString::number(error.number);
        };
        corvelix::guardEvent(
            {}, [this] { Form_Activate(); }, options);
    });
}

void frmRET2TXT::Form_Activate() {
    cargarCBOs();
    txtCUITDespachante->setText(m_CUITDespachante);
    txtCUITImportador->setText(m_CUITimportador);
    txtAduana->setText(m_Aduana);
    cboSubReg->setEditText(m_SubReg);
    if (!m_CondVenta.isEmpty())
        cboCondicionVenta->setEditText(m_CondVenta);
}

void frmRET2TXT::cargarCBOs() {
    cboSubReg->clear();
    for (modDA::Recordset rs = modDA::getSubRegimen(); !rs.eof(); rs.moveNext())
        cboSubReg->addItem(rs.text(QStringLiteral("ISTA")));
    cboCondicionVenta->clear();
    for (modDA::Recordset rs = modDA::getCondicionVenta(); !rs.eof(); rs.moveNext())
        cboCondicionVenta->addItem(rs.text(QStringLiteral("CINC")));
    // Filling a list picks its first entry; the texts come from the members.
    cboSubReg->setEditText(QString());
    cboCondicionVenta->setEditText(QString());
}

void frmRET2TXT::cmdConfirmar_Click() {
    if (!cuitValido(txtCUITDespachante->text())) {
        ui().msgBox(QStringLiteral("CUIT Despachante inválido."), MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return;
    }
    if (!cuitValido(txtCUITImportador->text())) {
        ui().msgBox(QStringLiteral("CUIT Importador inválido."), MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return;
    }
    m_CUITDespachante = txtCUITDespachante->text();
    m_CUITimportador = txtCUITImportador->text();
    m_Aduana = txtAduana->text();
    m_SubReg = cboSubReg->currentText();
    m_CondVenta = cboCondicionVenta->currentText();
    if (m_SubReg == QLatin1String("IDA4") && m_CondVenta.isEmpty()) {
        ui().msgBox(QStringLiteral("para IDA4 debe seleccionar una condicion de venta"),
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    m_Acepto = true;
    accept();
}

void frmRET2TXT::cmdCancelar_Click() {
    reject();
}
