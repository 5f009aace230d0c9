#include "assembly/frmSubitemDetalle.h"

#include "data/item_values.h"
#include "data/modDA.h"
#include "data/prorating.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "shell/ClCntrl.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using corvelix::formatNumber;
using corvelix::isNumeric;
using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::runHandler;
using corvelix::toNumber;
using corvelix::ui;

namespace {

const QString kCantidad = QStringLiteral("00.00");
const QString kUnitario = QStringLiteral("00.00000");

QString formato0000(const QString& numero) {
    return isNumeric(numero) ? formatNumber(toNumber(numero), QStringLiteral("0000")) : numero;
}

QString formato00(const QString& codigo) {
    return isNumeric(codigo) ? formatNumber(toNumber(codigo), QStringLiteral("00")) : codigo;
}

QLineEdit* caja(QWidget* parent, const char* name, const QString& caption, int y) {
    (new QLabel(caption, parent))->setGeometry(10, y, 150, 22);
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(170, y, 150, 24);
    box->setAlignment(Qt::AlignRight);
    return box;
}

} // namespace

frmSubitemDetalle::frmSubitemDetalle(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSubitemDetalle"));
    setWindowTitle(QStringLiteral("Detalle de Subitem"));
    setFixedSize(440, 290);

    lbTitulo = new QLabel(this);
    lbTitulo->setObjectName(QStringLiteral("lbTitulo"));
    lbTitulo->setGeometry(10, 8, 420, 22);
    txtCantidadDeclarada =
        caja(this, "txtCantidadDeclarada", QStringLiteral("Cantidad Declarada"), 40);
    lbUnidadDeclarada = new QLabel(this);
    lbUnidadDeclarada->setObjectName(QStringLiteral("lbUnidadDeclarada"));
    lbUnidadDeclarada->setGeometry(330, 40, 60, 22);
    txtCantidadEstadistica =
        caja(this, "txtCantidadEstadistica", QStringLiteral("Cantidad Estadistica"), 72);
    lbUnidadEstadistica = new QLabel(this);
    lbUnidadEstadistica->setObjectName(QStringLiteral("lbUnidadEstadistica"));
    lbUnidadEstadistica->setGeometry(330, 72, 60, 22);
    txtPrecioUnitario = caja(this, "txtPrecioUnitario", QStringLiteral("Unitario"), 104);
    txtFobTotal = caja(this, "txtFobTotal", QStringLiteral("Fob Total"), 136);
    (new QLabel(QStringLiteral("Total Caratula"), this))->setGeometry(10, 176, 150, 22);
    lbFOBTotal = new QLabel(this);
    lbFOBTotal->setObjectName(QStringLiteral("lbFOBTotal"));
    lbFOBTotal->setGeometry(170, 176, 150, 22);
    (new QLabel(QStringLiteral("Total Item"), this))->setGeometry(10, 204, 150, 22);
    lbFobTotalItem = new QLabel(this);
    lbFobTotalItem->setObjectName(QStringLiteral("lbFobTotalItem"));
    lbFobTotalItem->setGeometry(170, 204, 150, 22);
    (new QLabel(QStringLiteral("[F11] Guardar - [ESC] Salir"), this))
        ->setGeometry(10, 250, 420, 22);

    QLineEdit* orden[4] = {txtCantidadDeclarada, txtCantidadEstadistica, txtFobTotal,
                           txtPrecioUnitario};
    for (int i = 0; i < 4; ++i) {
        controles_[i] = new ClCntrl(this);
        controles_[i]->sLinkText(orden[i]);
    }

    connect(txtCantidadDeclarada, &QLineEdit::textChanged, this, [this] {
        runHandler(*this, QStringLiteral("txtCantidadDeclarada_Change"),
                   [this] { txtCantidadDeclarada_Change(); });
    });
    connect(txtFobTotal, &QLineEdit::textChanged, this, [this] {
        runHandler(*this, QStringLiteral("txtFobTotal_Change"), [this] { txtFobTotal_Change(); });
    });
    activacion_ = new corvelix::FirstActivation(*this, [this] { Form_Activate(); });
}

void frmSubitemDetalle::Form_Activate() {
    cargarDatos();
}

void frmSubitemDetalle::cargarDatos() {
    runHandler(*this, QStringLiteral("cargarDatos"), [this] {
        lbTitulo->setText(QStringLiteral("Item ") + formato0000(m_Item) +
                          QStringLiteral(" - SubItem ") + formato0000(m_subItem));
        lbUnidadDeclarada->setText(formato00(m_UnidadDeclarada));
        txtCantidadDeclarada->setText(formatNumber(m_CantidadDeclarada, kCantidad));
        lbUnidadEstadistica->setText(formato00(m_UnidadEstadistica));
        txtCantidadEstadistica->setText(formatNumber(m_CantidadEstadistica, kCantidad));
        txtPrecioUnitario->setText(formatNumber(m_PrecioUnitario, kUnitario));
        txtFobTotal->setText(formatNumber(m_FobTotal, kCantidad));
        double fobCaratula = 0;
        double fobItem = 0;
        modDA::getTotalCaratula_Item(m_Operacion, m_Item, fobCaratula, fobItem);
        lbFOBTotal->setText(formatNumber(fobCaratula, kCantidad));
        lbFobTotalItem->setText(formatNumber(fobItem, kCantidad));
    });
}

void frmSubitemDetalle::txtCantidadDeclarada_Change() {
    const QString cantidad = txtCantidadDeclarada->text();
    if (isNumeric(cantidad) && isNumeric(txtPrecioUnitario->text()))
        txtFobTotal->setText(
            formatNumber(toNumber(cantidad) * toNumber(txtPrecioUnitario->text()), kCantidad));
    if (lbUnidadDeclarada->text() == lbUnidadEstadistica->text())
        txtCantidadEstadistica->setText(cantidad);
}

void frmSubitemDetalle::txtFobTotal_Change() {
    const QString fob = txtFobTotal->text();
    const QString cantidad = txtCantidadDeclarada->text();
    if (!isNumeric(fob) || !isNumeric(cantidad) || toNumber(cantidad) == 0)
        return;
    txtPrecioUnitario->setText(formatNumber(toNumber(fob) / toNumber(cantidad), kUnitario));
}

void frmSubitemDetalle::keyPressEvent(QKeyEvent* event) {
    bool propia = false;
    runHandler(*this, QStringLiteral("Form_KeyDown"), [&] { propia = Form_KeyDown(event); });
    if (propia || event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

bool frmSubitemDetalle::Form_KeyDown(QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    if (event->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (event->key() == Qt::Key_F11) {
        if (m_subItem != QLatin1String("0000"))
            guardarDatos();
        else
            GuardarDatos_Item();
        return true;
    }
    return false;
}

bool frmSubitemDetalle::validar() {
    const struct {
        QLineEdit* box;
        const char* message;
    } checks[] = {
        {txtCantidadDeclarada, "Cantidad Declarada tiene que tener un valor numerico"},
        {txtCantidadEstadistica, "Cantidad Estadistica tiene que tener un valor numerico"},
        {txtPrecioUnitario, "Precio Unitario tiene que tener un valor numerico"},
        {txtFobTotal, "Fob Total tiene que tener un valor numerico"},
    };
    for (const auto& check : checks) {
        if (!isNumeric(check.box->text())) {
            ui().msgBox(QString::fromUtf8(check.message), MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        }
    }
    // Each value must fit the catalog at the decimals its box is saved with.
    for (const auto& check : checks)
        corvelix::catalogNumber(toNumber(check.box->text()),
                                check.box == txtPrecioUnitario ? 5 : 2);
    if (lbUnidadDeclarada->text() == lbUnidadEstadistica->text() &&
        toNumber(txtCantidadDeclarada->text()) != toNumber(txtCantidadEstadistica->text())) {
        ui().msgBox(QStringLiteral("Cantidad declarada debe ser igual Cantidad Estaditica"),
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    txtCantidadDeclarada->setText(formatNumber(toNumber(txtCantidadDeclarada->text()), kCantidad));
    txtCantidadEstadistica->setText(
        formatNumber(toNumber(txtCantidadEstadistica->text()), kCantidad));
    txtPrecioUnitario->setText(formatNumber(toNumber(txtPrecioUnitario->text()), kUnitario));
    txtFobTotal->setText(formatNumber(toNumber(txtFobTotal->text()), kCantidad));
    return true;
}

void frmSubitemDetalle::guardarDatos() {
    corvelix::chained(QStringLiteral("Corvelix.frmSubitemDetalle.guardarDatos"), [&] {
        if (!validar())
            return;
        // The row, the item's mark and the header totals together or not at all.
        modDA::Transaction transaccion;
        modDA::actualizarSubItem(
            m_Operacion, m_Item, m_subItem, toNumber(txtCantidadDeclarada->text()),
            toNumber(txtCantidadEstadistica->text()), toNumber(txtPrecioUnitario->text()),
            toNumber(txtFobTotal->text()));
        modDA::Invalidar_ITEM(m_Operacion, m_Item, false);
        modDA::recalcularCaratula(m_Operacion);
        transaccion.commit();
        accept();
    });
}

void frmSubitemDetalle::GuardarDatos_Item() {
    corvelix::chained(QStringLiteral("Corvelix.frmSubitemDetalle.GuardarDatos_Item"), [&] {
        if (!validar())
            return;
        // The row, the item's mark and the header totals together or not at all.
        modDA::Transaction transaccion;
        modDA::actualizarValoresITEM(
            m_Operacion, m_Item, lbUnidadDeclarada->text(), toNumber(txtCantidadDeclarada->text()),
            lbUnidadEstadistica->text(), toNumber(txtCantidadEstadistica->text()),
            toNumber(txtPrecioUnitario->text()), toNumber(txtFobTotal->text()));
        modDA::Invalidar_ITEM(m_Operacion, m_Item, false);
        modDA::recalcularCaratula(m_Operacion);
        transaccion.commit();
        accept();
    });
}
