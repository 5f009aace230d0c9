// "Montos": the item's quantities and amounts, kept consistent while typing, and their save.
#include "item_editor/frmItemDetalle.h"

#include "data/item_values.h"
#include "data/modDA.h"
#include "data/prorating.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Twips.h"
#include "runtime/Ui.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using corvelix::formatNumber;
using corvelix::isNumeric;
using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::runHandler;
using corvelix::toNumber;
using corvelix::ui;

namespace {

const QString kMascara = QStringLiteral("00.00");
const QString kMascaraUnitario = QStringLiteral("00.00000");
const QString kMascaraKilos = QStringLiteral("00.000");
const QString kKilogramo = QStringLiteral("01");

// The coupling rules feed each other until a text repeats; this bounds a cascade that would
// not settle.
constexpr int kMaxCascada = 16;

// The box whose change started the running cascade of coupling rules: the cascade recomputes
// the other boxes and never rewrites this one, so what the user types stays as typed.
const QLineEdit* origenCascada = nullptr;

// A box's change notification runs only when the text really changes.
void asignar(QLineEdit* caja, const QString& texto) {
    if (caja != origenCascada && caja->text() != texto)
        caja->setText(texto);
}

QString conMascara(const modDA::Recordset& rs, const char* columna, const QString& mascara) {
    const QVariant v = rs.field(QLatin1String(columna));
    if (v.isNull())
        return QString();
    bool ok = false;
    const double numero = v.toDouble(&ok);
    return ok ? formatNumber(numero, mascara) : v.toString();
}

// "00" on a unit code: a numeric code padded to two digits, any other text as it is.
QString unidad(const modDA::Recordset& rs, const char* columna) {
    const QString texto = rs.text(QLatin1String(columna));
    bool ok = false;
    const double numero = texto.trimmed().toDouble(&ok);
    return ok ? formatNumber(numero, QStringLiteral("00")) : texto;
}

} // namespace

void frmItemDetalle::crearMontos() {
    QWidget* page = tabMontos();
    auto* grid = new QGridLayout(page);
    int fila = 0;
    const auto caja = [&](const char* nombre, const QString& etiqueta, const QString& disenio,
                          QLabel** unidadLabel = nullptr, const char* nombreUnidad = nullptr) {
        auto* l = new QLabel(etiqueta, page);
        auto* t = new QLineEdit(disenio, page);
        t->setObjectName(QLatin1String(nombre));
        grid->addWidget(l, fila, 0);
        grid->addWidget(t, fila, 1);
        if (unidadLabel != nullptr) {
            *unidadLabel = new QLabel(QStringLiteral("00"), page);
            (*unidadLabel)->setObjectName(QLatin1String(nombreUnidad));
            grid->addWidget(*unidadLabel, fila, 2);
        }
        ++fila;
        return t;
    };
    txtCantidadDeclarada = caja("txtCantidadDeclarada", QStringLiteral("Cantidad Declarada"),
                                QStringLiteral("00.00"), &lbUnidadDeclarada, "lbUnidadDeclarada");
    txtCantidadEstadistica =
        caja("txtCantidadEstadistica", QStringLiteral("Cantidad Estadistica"),
             QStringLiteral("00.00"), &lbUnidadEstadistica, "lbUnidadEstadistica");
    txtPrecioUnitario =
        caja("txtPrecioUnitario", QStringLiteral("Unitario"), QStringLiteral("00.00"));
    txtFobTotal = caja("txtFobTotal", QStringLiteral("Fob Total"), QStringLiteral("00.00"));
    txtKiloNeto = caja("txtKiloNeto", QStringLiteral("KgNeto"), QStringLiteral("00,00"));
    txtAjusteIncluir =
        caja("txtAjusteIncluir", QStringLiteral("Ajuste Incluir"), QStringLiteral("00,00"));
    txtAjusteDeducir =
        caja("txtAjusteDeducir", QStringLiteral("Ajuste Deducir"), QStringLiteral("00,00"));
    txtFlete = caja("txtFlete", QStringLiteral("Flete"), QStringLiteral("00,00"));
    txtSeguro = caja("txtSeguro", QStringLiteral("Seguro"), QStringLiteral("00,00"));
    cmdEstablecerValoresItem = new QPushButton(QStringLiteral("Guardar Valores"), page);
    cmdEstablecerValoresItem->setObjectName(QStringLiteral("cmdEstablecerValoresItem"));
    cmdEstablecerValoresItem->setAutoDefault(false);
    grid->addWidget(cmdEstablecerValoresItem, fila, 1);
    grid->setRowStretch(fila + 1, 1);
    grid->setColumnStretch(3, 1);

    acoplar(txtCantidadDeclarada, &frmItemDetalle::txtCantidadDeclarada_Change);
    acoplar(txtCantidadEstadistica, &frmItemDetalle::txtCantidadEstadistica_Change);
    acoplar(txtPrecioUnitario, &frmItemDetalle::txtPrecioUnitario_Change);
    acoplar(txtFobTotal, &frmItemDetalle::txtFobTotal_Change);
    connect(cmdEstablecerValoresItem, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdEstablecerValoresItem_Click"),
                   [this] { cmdEstablecerValoresItem_Click(); });
    });
}

void frmItemDetalle::acoplar(QLineEdit* caja, void (frmItemDetalle::*regla)()) {
    connect(caja, &QLineEdit::textChanged, this, [this, caja, regla] {
        // A rule never lets a failure out: the target box keeps its text.
        static int profundidad = 0;
        if (profundidad >= kMaxCascada)
            return;
        if (profundidad == 0)
            origenCascada = caja;
        ++profundidad;
        try {
            (this->*regla)();
        } catch (...) {
        }
        if (--profundidad == 0)
            origenCascada = nullptr;
    });
}

void frmItemDetalle::txtCantidadDeclarada_Change() {
    const QString cantidad = txtCantidadDeclarada->text();
    if (isNumeric(cantidad) && isNumeric(txtPrecioUnitario->text()))
        asignar(txtFobTotal,
                formatNumber(toNumber(cantidad) * toNumber(txtPrecioUnitario->text()), kMascara));
    if (lbUnidadDeclarada->text() == lbUnidadEstadistica->text())
        asignar(txtCantidadEstadistica, txtCantidadDeclarada->text());
    if (lbUnidadDeclarada->text() == kKilogramo)
        asignar(txtKiloNeto, txtCantidadDeclarada->text());
}

void frmItemDetalle::txtCantidadEstadistica_Change() {
    if (lbUnidadEstadistica->text() == kKilogramo)
        asignar(txtKiloNeto, txtCantidadEstadistica->text());
}

void frmItemDetalle::txtPrecioUnitario_Change() {
    const QString precio = txtPrecioUnitario->text();
    if (isNumeric(precio) && isNumeric(txtCantidadDeclarada->text()))
        asignar(txtFobTotal,
                formatNumber(toNumber(precio) * toNumber(txtCantidadDeclarada->text()), kMascara));
}

void frmItemDetalle::txtFobTotal_Change() {
    const QString fob = txtFobTotal->text();
    if (!isNumeric(fob) || !isNumeric(txtCantidadDeclarada->text()))
        return;
    const double cantidad = toNumber(txtCantidadDeclarada->text());
    // Division by zero leaves the unit price as it was.
    if (cantidad == 0)
        return;
    asignar(txtPrecioUnitario, formatNumber(toNumber(fob) / cantidad, kMascaraUnitario));
}

void frmItemDetalle::CargarDatos_Item() {
    corvelix::GuardOptions opciones;
    opciones.icon = MsgIcon::Exclamation;
    runHandler(
        *this, QStringLiteral("CargarDatos_Item"),
        [this](int& line) {
            line = 10;
            const modDA::Recordset rs = modDA::getValoresItem(m_Operacion, m_Item);
            line = 20;
            if (rs.eof())
                return;
            lbUnidadDeclarada->setText(unidad(rs, "CARTUNTDCL"));
            asignar(txtCantidadDeclarada, conMascara(rs, "QARTUNTDCL", kMascara));
            lbUnidadEstadistica->setText(unidad(rs, "CARTUNTEST"));
            asignar(txtCantidadEstadistica, conMascara(rs, "QARTUNTEST", kMascara));
            asignar(txtPrecioUnitario, conMascara(rs, "MARTUNITAR", kMascaraUnitario));
            asignar(txtFobTotal, conMascara(rs, "MARTFOB", kMascara));
            asignar(txtKiloNeto, conMascara(rs, "QARTKGRNET", kMascaraKilos));
            asignar(txtAjusteIncluir, conMascara(rs, "MARTAJUINC", kMascara));
            asignar(txtAjusteDeducir, conMascara(rs, "MARTAJUDED", kMascara));
            asignar(txtSeguro, conMascara(rs, "MARTASS", kMascara));
            asignar(txtFlete, conMascara(rs, "MARTFLE", kMascara));
        },
        opciones);
}

void frmItemDetalle::BloquearCampos_TieneSubitems() {
    txtCantidadDeclarada->setEnabled(false);
    txtCantidadEstadistica->setEnabled(false);
    txtFobTotal->setEnabled(false);
}

void frmItemDetalle::cmdEstablecerValoresItem_Click() {
    if (rechazaAbierto())
        return;
    GuardarValores();
}

void frmItemDetalle::GuardarValores() {
    runHandler(*this, QStringLiteral("GuardarValores"), [this](int& line) {
        line = 10;
        if (rechazaAbierto())
            return;
        line = 20;
        struct Chequeo {
            QLineEdit* caja;
            const char* mensaje;
        };
        const Chequeo chequeos[] = {
            {txtCantidadDeclarada, "Cantidad Declarada tiene que tener un valor numerico"},
            {txtCantidadEstadistica, "Cantidad Estadistica tiene que tener un valor numerico"},
            {txtPrecioUnitario, "Precio Unitario tiene que tener un valor numerico"},
            {txtFobTotal, "Fob Total tiene que tener un valor numerico"},
            {txtKiloNeto, "Kilo Neto tiene que tener un valor numerico"},
            {txtFlete, "Flete tiene que tener un valor numerico"},
            {txtSeguro, "Seguro tiene que tener un valor numerico"},
            {txtAjusteIncluir, "Ajuste a incluir tiene que tener un valor numerico"},
            {txtAjusteDeducir, "Ajuste a Deducir tiene que tener un valor numerico"},
        };
        for (const Chequeo& c : chequeos) {
            if (!isNumeric(c.caja->text())) {
                ui().msgBox(QString::fromUtf8(c.mensaje), MsgButtons::Ok, MsgIcon::Exclamation);
                return;
            }
        }
        const auto valor = [](QLineEdit* caja) { return toNumber(caja->text()); };
        // Each value must fit the catalog at the decimals its box is saved with.
        const auto chequearRango = [&] {
            for (const Chequeo& c : chequeos) {
                const int decimales = c.caja == txtPrecioUnitario ? 5
                                      : c.caja == txtKiloNeto     ? 3
                                                                  : 2;
                corvelix::catalogNumber(valor(c.caja), decimales);
            }
        };
        line = 25;
        chequearRango();
        line = 30;
        const QString unidadDcl = lbUnidadDeclarada->text();
        const QString unidadEst = lbUnidadEstadistica->text();
        const auto rechazo = [](const char* mensaje) {
            ui().msgBox(QString::fromUtf8(mensaje), MsgButtons::Ok, MsgIcon::Exclamation);
        };
        if (unidadDcl == unidadEst &&
            valor(txtCantidadEstadistica) != valor(txtCantidadDeclarada)) {
            rechazo("Cantidad declarada debe ser igual Cantidad Estaditica");
            return;
        }
        if (unidadDcl == kKilogramo && valor(txtKiloNeto) != valor(txtCantidadDeclarada)) {
            rechazo("Kilo Neto debe ser igual a Cantidad Declarada");
            return;
        }
        if (unidadEst == kKilogramo && valor(txtKiloNeto) != valor(txtCantidadEstadistica)) {
            rechazo("Kilo Neto debe ser igual a Cantidad Estadistica");
            return;
        }
        line = 40;
        const auto reformatear = [&](QLineEdit* caja, const QString& mascara) {
            asignar(caja, formatNumber(valor(caja), mascara));
        };
        reformatear(txtCantidadDeclarada, kMascara);
        reformatear(txtCantidadEstadistica, kMascara);
        reformatear(txtPrecioUnitario, kMascaraUnitario);
        reformatear(txtFobTotal, kMascara);
        reformatear(txtKiloNeto, kMascaraKilos);
        reformatear(txtFlete, kMascara);
        reformatear(txtSeguro, kMascara);
        reformatear(txtAjusteIncluir, kMascara);
        reformatear(txtAjusteDeducir, kMascara);
        line = 45;
        // Again as the values will be written: the coupling may have rebuilt the FOB from the
        // rounded unit price.
        chequearRango();
        line = 50;
        // The values, the header totals and the marks go in together or not at all.
        modDA::Transaction transaccion;
        modDA::actualizarValoresITEM_FULL(
            m_Operacion, m_Item, valor(txtCantidadDeclarada), valor(txtCantidadEstadistica),
            valor(txtPrecioUnitario), valor(txtFobTotal), valor(txtKiloNeto),
            valor(txtAjusteIncluir), valor(txtAjusteDeducir), valor(txtSeguro), valor(txtFlete));
        line = 60;
        modDA::recalcularCaratula(m_Operacion);
        line = 70;
        modDA::Invalidar_ITEM(m_Operacion, m_Item, false);
        transaccion.commit();
        line = 80;
        ui().msgBox(QStringLiteral("Datos actualizados"), MsgButtons::Ok, MsgIcon::Information);
    });
}
