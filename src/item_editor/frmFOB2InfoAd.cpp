#include "item_editor/frmFOB2InfoAd.h"

#include "data/item_editor_rows.h"
#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "shell/frmListado.h"
#include "shell/utiles.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;

namespace {

QPushButton* boton(QDialog* dlg, const QString& texto, const char* nombre) {
    auto* b = new QPushButton(texto, dlg);
    b->setObjectName(QLatin1String(nombre));
    b->setAutoDefault(false);
    return b;
}

void avisar(const QString& texto) {
    ui().msgBox(texto, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace

frmFOB2InfoAd::frmFOB2InfoAd(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFOB2InfoAd"));
    setWindowTitle(QStringLiteral("FOB Item a Informacion Adicional"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Transferir FOB Item a Info Adicional"), this), 0, 0,
                    1, 3);
    lbDespacho = new QLabel(this);
    lbDespacho->setObjectName(QStringLiteral("lbDespacho"));
    grid->addWidget(lbDespacho, 1, 0, 1, 3);
    txtMoneda = new QLineEdit(QStringLiteral("DOL"), this);
    txtMoneda->setObjectName(QStringLiteral("txtMoneda"));
    grid->addWidget(new QLabel(QStringLiteral("Moneda"), this), 2, 0);
    grid->addWidget(txtMoneda, 2, 1);
    txtTipoPase = new QLineEdit(QStringLiteral("1,000000"), this);
    txtTipoPase->setObjectName(QStringLiteral("txtTipoPase"));
    grid->addWidget(new QLabel(QStringLiteral("Tipo de Cambio"), this), 3, 0);
    grid->addWidget(txtTipoPase, 3, 1);
    txtInfoAdicional = new QLineEdit(this);
    txtInfoAdicional->setObjectName(QStringLiteral("txtInfoAdicional"));
    cmdInfoAdic = boton(this, QStringLiteral("..."), "cmdInfoAdic");
    grid->addWidget(new QLabel(QStringLiteral("Información Adicional"), this), 4, 0);
    grid->addWidget(txtInfoAdicional, 4, 1);
    grid->addWidget(cmdInfoAdic, 4, 2);
    lbItem = new QLabel(this);
    lbItem->setObjectName(QStringLiteral("lbItem"));
    grid->addWidget(lbItem, 5, 0, 1, 3);
    cmdProcesar = boton(this, QStringLiteral("Procesar"), "cmdProcesar");
    cmdCancelar = boton(this, QStringLiteral("Cancelar"), "cmdCancelar");
    grid->addWidget(cmdProcesar, 6, 1);
    grid->addWidget(cmdCancelar, 6, 2);

    txtMoneda->installEventFilter(this);
    txtInfoAdicional->installEventFilter(this);
    connect(cmdInfoAdic, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("bucarInfoAdicional"),
                             [this] { bucarInfoAdicional(); }, {MsgIcon::Exclamation, {}, {}});
    });
    connect(cmdProcesar, &QPushButton::clicked, this, [this] { cmdProcesar_Click(); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCancelar_Click"),
                             [this] { cmdCancelar_Click(); });
    });
    activacion_ = new corvelix::FirstActivation(*this, [this] {
        lbDespacho->setText(m_Despacho);
        cargarDatos();
    });
}

bool frmFOB2InfoAd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtMoneda && event->type() == QEvent::FocusOut)
        txtMoneda->setText(txtMoneda->text().toUpper());
    if (watched == txtInfoAdicional && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        txtInfoAdicional->clear();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmFOB2InfoAd::cargarDatos() {
    corvelix::chained(QStringLiteral("Corvelix.frmFOB2InfoAd.cargarDatos"), [&] {
        txtTipoPase->setText(QStringLiteral("1"));
        const modDA::Recordset rs = modDA::getDDTByNumber(m_Despacho);
        if (rs.eof())
            throw corvelix::VbError(3021, QStringLiteral("Corvelix"),
                                    QStringLiteral("No hay ningún registro activo."));
        txtMoneda->setText(rs.text("CDDTDEVFOB"));
        const double tasa = utiles::getTipoPase(txtMoneda->text());
        txtTipoPase->setText(corvelix::formatNumber(tasa, QStringLiteral("00.000000")));
    });
}

void frmFOB2InfoAd::bucarInfoAdicional() {
    frmListado frm;
    frm.m_Salida.clear();
    frm.m_Tabla = 3;
    ui().exec(frm);
    txtInfoAdicional->setFocus();
    if (!frm.m_Salida.isEmpty())
        txtInfoAdicional->setText(frm.m_Salida);
}

void frmFOB2InfoAd::habilitar(bool si) {
    cmdCancelar->setEnabled(si);
    cmdInfoAdic->setEnabled(si);
    cmdProcesar->setEnabled(si);
}

void frmFOB2InfoAd::cmdProcesar_Click() {
    ui().setBusy(true);
    habilitar(false);
    corvelix::runHandler(
        *this, QStringLiteral("cmdProcesar_Click"),
        [this] {
            const QString textoTasa = txtTipoPase->text();
            if (!corvelix::isNumeric(textoTasa))
                return avisar(QStringLiteral("Debe ingresar un valor numerico en Tipo de Cambio."));
            const double tasa = corvelix::toNumber(textoTasa);
            // A failed rate request leaves 0 here: it would write 0,00 on every item.
            if (!(tasa > 0))
                return avisar(QStringLiteral("El Tipo de Cambio debe ser un numero mayor a 0."));
            txtMoneda->setText(txtMoneda->text().toUpper());
            const QString codigo = txtInfoAdicional->text().trimmed();
            if (codigo.isEmpty())
                return avisar(QStringLiteral("Debe seleccionar una información adicional"));
            const QString items = utiles::getSeleccionarITEMS(m_Despacho);
            if (items.isEmpty())
                return avisar(QStringLiteral("Debe seleccionar como minimo un item"));
            const QStringList procesados =
                modDA::transferirFOB(m_Despacho, items, codigo, tasa, QLocale().decimalPoint());
            if (!procesados.isEmpty())
                lbItem->setText(QStringLiteral("procesando item ") + procesados.last() +
                                QStringLiteral(" ...."));
            ui().processEvents();
            ui().msgBox(QStringLiteral("Proceso terminado"), MsgButtons::Ok, MsgIcon::Information);
        },
        {MsgIcon::Exclamation, {}, {}});
    ui().setBusy(false);
    habilitar(true);
}

void frmFOB2InfoAd::cmdCancelar_Click() {
    reject();
}
