#include "item_editor/frmCancelaciones.h"

#include "data/cancellations.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "shell/ClCntrl.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>

#include <cmath>

namespace {

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::VbError;

// The NCM and certificate of the last line saved, proposed for the next addition.
corvelix::ProcessStatic<QString>& ultimoNCM() {
    static corvelix::ProcessStatic<QString> value{QString()};
    return value;
}
corvelix::ProcessStatic<QString>& ultimoCertificado() {
    static corvelix::ProcessStatic<QString> value{QString()};
    return value;
}

const QString kForm = QStringLiteral("frmCancelaciones");

// The old CInt: the nearest whole number, halves to even, refused when it does not fit in 16
// bits.
int entero16(const QString& text) {
    const double value = std::nearbyint(corvelix::toNumber(text));
    if (!(value >= -32768 && value <= 32767))
        throw VbError(6, QStringLiteral("Corvelix"), QStringLiteral("Desbordamiento"));
    return static_cast<int>(value);
}

// A number given as text, truncated (item numbers such as "0007").
int truncado(const QString& text) {
    return static_cast<int>(std::trunc(corvelix::toNumber(text, QLocale::c())));
}

QLineEdit* caja(QWidget* parent, const char* name, int x, int y, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(x, y, width, 22);
    return box;
}

void etiqueta(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, 100, 22);
}

// The factor is kept as text, "100,00" as the outside system and the cancellation
// generation write it ("100.00" in lines an earlier version of this dialog wrote): its one mark
// is the decimal one (two decimals, no grouping). Shown with the user's mark, so that the box
// reads back the same number; any other text is shown as it is.
QString factorMostrado(const QString& stored) {
    static const QRegularExpression decimal(QStringLiteral("^(\\s*[+-]?\\d*)[.,](\\d+\\s*)$"));
    const QRegularExpressionMatch match = decimal.match(stored);
    if (!match.hasMatch())
        return stored;
    return match.captured(1) + QLocale().decimalPoint() + match.captured(2);
}

void refuse(const QString& message) {
    corvelix::ui().msgBox(message, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace

frmCancelaciones::frmCancelaciones(QWidget* parent) : QDialog(parent) {
    setObjectName(kForm);
    setWindowTitle(QStringLiteral("Cancelaciones"));
    setFixedSize(430, 260);

    etiqueta(this, QStringLiteral("Destinacion"), 10, 10);
    txtDestinacionSusp = caja(this, "txtDestinacionSusp", 120, 10, 180);
    etiqueta(this, QStringLiteral("Item"), 10, 38);
    txtItem = caja(this, "txtItem", 120, 38, 60);
    etiqueta(this, QStringLiteral("Subitem"), 10, 66);
    txtSubIT = caja(this, "txtSubIT", 120, 66, 60);
    etiqueta(this, QStringLiteral("NCM"), 10, 94);
    txtNCM = caja(this, "txtNCM", 120, 94, 180);
    etiqueta(this, QStringLiteral("Cantidad"), 10, 122);
    txtCantidad = caja(this, "txtCantidad", 120, 122, 120);
    etiqueta(this, QStringLiteral("Factor P"), 10, 150);
    txtFactorPonderacion = caja(this, "txtFactorPonderacion", 120, 150, 80);
    etiqueta(this, QStringLiteral("Cert.Proc.Prod"), 10, 178);
    txtCertProcProd = caja(this, "txtCertProcProd", 120, 178, 180);
    designTexts();

    cmdAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setGeometry(220, 220, 95, 28);
    cmdAceptar->setAutoDefault(false);
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(325, 220, 95, 28);
    cmdCancelar->setAutoDefault(false);

    // Focus colours, Enter to the next field and the keypad's decimal key.
    for (QLineEdit* box : {txtDestinacionSusp, txtItem, txtSubIT, txtCantidad,
                           txtFactorPonderacion, txtNCM, txtCertProcProd}) {
        auto* control = new ClCntrl(this);
        control->sLinkText(box);
        controles_ << control;
    }
    txtNCM->installEventFilter(this);

    connect(cmdAceptar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdAceptar_Click"),
                             [this] { cmdAceptar_Click(); });
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCancelar_Click"),
                             [this] { cmdCancelar_Click(); });
    });
    connect(txtDestinacionSusp, &QLineEdit::textChanged, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("txtDestinacionSusp_Change"),
                             [this] { txtDestinacionSusp_Change(); });
    });
    activacion_ = new corvelix::FirstActivation(*this, [this] { preparar(); });
}

void frmCancelaciones::designTexts() {
    for (QLineEdit* box : {txtDestinacionSusp, txtItem, txtSubIT, txtNCM, txtCantidad})
        box->clear();
    txtFactorPonderacion->setText(QStringLiteral("100"));
    txtCertProcProd->setText(QStringLiteral("0"));
}

void frmCancelaciones::Form_Activate() {
    activacion_->activate();
}

void frmCancelaciones::preparar() {
    if (cargado_)
        return;
    if (!m_DIT_Numero.isEmpty() && !m_DIT_Item.isEmpty() && !m_DIT_SbIt.isEmpty()) {
        cargarDatos();
    } else {
        txtNCM->setText(ultimoNCM());
        txtCertProcProd->setText(ultimoCertificado());
    }
    cargado_ = true;
}

void frmCancelaciones::cargarDatos() {
    corvelix::runHandler(*this, QStringLiteral("cargarDatos"), [this](int& line) {
        line = 10;
        modDA::Recordset rs = modDA::getCancelacion(m_Operacion, truncado(m_Item), m_DIT_Numero,
                                                    truncado(m_DIT_Item), truncado(m_DIT_SbIt));
        line = 20;
        if (rs.eof())
            throw VbError(3021, QStringLiteral("Corvelix"),
                          QStringLiteral("No se encuentra la cancelación a modificar"));
        txtDestinacionSusp->setText(rs.text(QStringLiteral("IDCNAPU")));
        line = 30;
        txtItem->setText(rs.text(QStringLiteral("NDCNARTAPU")));
        line = 40;
        txtSubIT->setText(rs.text(QStringLiteral("NDCNSBTAPU")));
        line = 50;
        txtNCM->setText(rs.text(QStringLiteral("IDCNESPNCE")));
        line = 60;
        const QVariant cantidad = rs.field(QStringLiteral("QDCNAPU"));
        txtCantidad->setText(cantidad.isNull()
                                 ? QString()
                                 : corvelix::formatNumber(cantidad.toDouble(),
                                                          QStringLiteral("00.000000")));
        line = 70;
        txtCertProcProd->setText(rs.text(QStringLiteral("CDCNEXPAPU")));
        line = 80;
        txtFactorPonderacion->setText(factorMostrado(rs.text(QStringLiteral("CDCNRESOL"))));
    });
}

void frmCancelaciones::txtDestinacionSusp_Change() {
    const QString upper = txtDestinacionSusp->text().toUpper();
    if (upper != txtDestinacionSusp->text())
        txtDestinacionSusp->setText(upper);
    txtDestinacionSusp->setCursorPosition(static_cast<int>(upper.size()));
}

void frmCancelaciones::txtNCM_LostFocus() {
    QString ncm = txtNCM->text().toUpper().replace(QLatin1Char(','), QLatin1Char('.'));
    if (ncm.size() == 12 && !ncm.contains(QLatin1Char(',')) && !ncm.contains(QLatin1Char('.')))
        ncm = ncm.mid(0, 4) + QLatin1Char('.') + ncm.mid(4, 2) + QLatin1Char('.') +
              ncm.mid(6, 2) + QLatin1Char('.') + ncm.mid(8, 4);
    txtNCM->setText(ncm);
}

bool frmCancelaciones::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtNCM && event->type() == QEvent::FocusOut && !closing_)
        corvelix::runHandler(*this, QStringLiteral("txtNCM_LostFocus"),
                             [this] { txtNCM_LostFocus(); });
    return QDialog::eventFilter(watched, event);
}

bool frmCancelaciones::validarDatos() {
    return corvelix::chained(QStringLiteral("Corvelix.frmCancelaciones.validarDatos"), [this] {
        if (txtDestinacionSusp->text().size() != 16) {
            refuse(QStringLiteral("Debe ingresar un numero de despacho válido"));
            return false;
        }
        const struct {
            QLineEdit* box;
            const char* message;
        } numericos[] = {
            {txtItem, "El campo item debe tener un calor numerico"},
            {txtSubIT, "El campo subitem debe tener un calor numerico"},
            {txtCantidad, "El campo cantidad debe tener un calor numerico"},
            {txtFactorPonderacion, "El campo Factor de Ponderacion debe tener un calor numerico"},
        };
        for (const auto& check : numericos) {
            if (!corvelix::isNumeric(check.box->text())) {
                refuse(QString::fromUtf8(check.message));
                return false;
            }
        }
        // The quantity and the factor must fit the catalog at the decimals they are shown with.
        corvelix::catalogNumber(corvelix::toNumber(txtCantidad->text()), 6);
        corvelix::catalogNumber(corvelix::toNumber(txtFactorPonderacion->text()), 2);
        txtNCM->setText(txtNCM->text().replace(QLatin1Char(','), QLatin1Char('.')));
        // Shown with the user's mark, so that the box reads back the same number; written in
        // the catalog's own form (factorCatalogo).
        txtFactorPonderacion->setText(corvelix::formatNumber(
            corvelix::toNumber(txtFactorPonderacion->text()), QStringLiteral("00.00")));
        return true;
    });
}

bool frmCancelaciones::addCancelacion() {
    // The line belongs to the item by its key, whatever number the item list shows for it.
    return modDA::agregarCancelacionItem(
        m_Operacion, QString::number(truncado(m_Item)), txtDestinacionSusp->text(),
        entero16(txtItem->text()), entero16(txtSubIT->text()), txtNCM->text(),
        corvelix::toNumber(txtCantidad->text()), txtCertProcProd->text(), factor());
}

bool frmCancelaciones::modCancelacion() {
    // Found by the key it was opened with; the edited values become its key.
    const modDA::ClaveCancelacion abierta{m_DIT_Numero, truncado(m_DIT_Item),
                                          truncado(m_DIT_SbIt)};
    return modDA::modificarCancelacion(m_Operacion, truncado(m_Item), txtDestinacionSusp->text(),
                                       entero16(txtItem->text()), entero16(txtSubIT->text()),
                                       txtNCM->text(), corvelix::toNumber(txtCantidad->text()),
                                       txtCertProcProd->text(), factor(), abierta);
}

QString frmCancelaciones::factor() const {
    return modDA::factorCatalogo(corvelix::toNumber(txtFactorPonderacion->text()));
}

void frmCancelaciones::cmdAceptar_Click() {
    bool valido = false;
    const corvelix::GuardOptions exclamacion{MsgIcon::Exclamation, {}, {}};
    if (!corvelix::runHandler(
            *this, QStringLiteral("validarDatos"), [&] { valido = validarDatos(); }, exclamacion) ||
        !valido)
        return;
    const bool modifica = !m_DIT_Numero.isEmpty();
    bool grabo = false;
    corvelix::runHandler(
        *this, modifica ? QStringLiteral("modCancelacion") : QStringLiteral("addCancelacion"),
        [&] {
            // The line and its item's mark go in together or not at all.
            modDA::Transaction transaccion;
            grabo = modifica ? modCancelacion() : addCancelacion();
            if (!grabo)
                return;
            modDA::Invalidar_ITEM(m_Operacion, m_Item, false);
            transaccion.commit();
        },
        exclamacion);
    if (!grabo)
        return;
    ultimoNCM() = txtNCM->text();
    ultimoCertificado() = txtCertProcProd->text();
    m_Grabo = true;
    cargado_ = false;
    unload(QDialog::Accepted);
}

void frmCancelaciones::cmdCancelar_Click() {
    m_Grabo = false;
    m_DIT_Numero.clear();
    m_DIT_Item.clear();
    m_DIT_SbIt.clear();
    cargado_ = false;
    unload(QDialog::Rejected);
}

void frmCancelaciones::reject() {
    if (isVisible())
        cmdCancelar_Click();
    else
        QDialog::reject();
}

void frmCancelaciones::unload(int result) {
    // The next showing starts from the design texts, as a freshly loaded dialog.
    closing_ = true;
    QDialog::done(result);
    designTexts();
    closing_ = false;
}
