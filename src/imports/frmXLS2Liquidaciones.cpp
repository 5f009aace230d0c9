#include "imports/frmXLS2Liquidaciones.h"

#include "data/declaration_reads.h"
#include "data/sheet_imports.h"
#include "imports/frmSelectCampos.h"
#include "platform/FlexGrid.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QKeyEvent>
#include <QSet>

using namespace corvelix;

namespace {

// The header words that assign a column by itself, in field order.
const QStringList& encabezados() {
    static const QStringList list = {QStringLiteral("item"), QStringLiteral("codigo"),
                                     QStringLiteral("tipo"), QStringLiteral("base"),
                                     QStringLiteral("coef"), QStringLiteral("total")};
    return list;
}

// Amounts are kept with two decimals, the rate with six.
constexpr int kDecimalesMonto = 2;
constexpr int kDecimalesCoeficiente = 6;

// The tax code as it is stored: a number written with three digits ("10" is "010").
QString conceptoGuardado(const QString& codigo) {
    return isNumeric(codigo) ? formatNumber(toNumber(codigo), QStringLiteral("000"))
                             : codigo.toUpper();
}

} // namespace

frmXLS2Liquidaciones::frmXLS2Liquidaciones(QWidget* parent)
    : HojaDespachoImport(QStringLiteral("frmXLS2Liquidaciones"), QString(),
                         QStringLiteral("Importar Liquidaciones"),
                         QStringLiteral("Importar Excel Liquidaciones - AUTOLIQUIDACION"),
                         QStringLiteral("Cargar Liquidaciones"), 6, parent) {}

void frmXLS2Liquidaciones::despuesDeLevantar() {
    const QStringList& campos = frmSelectCamposLiquidacion::campos();
    for (int j = 0; j < grdCanc->cols(); ++j) {
        const QString titulo = grdCanc->textMatrix(0, j).toLower();
        for (int f = 0; f < encabezados().size(); ++f)
            if (titulo == encabezados().at(f))
                grdCanc->setTextMatrix(1, j, campos.at(f));
    }
}

std::unique_ptr<frmSelectCamposBase> frmXLS2Liquidaciones::selectorCampos() {
    return std::make_unique<frmSelectCamposLiquidacion>(this);
}

bool frmXLS2Liquidaciones::ValidarCamposLiq() {
    static const QStringList repetidos = {
        QStringLiteral("El campo Item fue seleccionado mas de una vez"),
        QStringLiteral("El campo Codigo fue seleccionado mas de una vez"),
        QStringLiteral("El campo Tipo fue seleccionado mas de una vez"),
        QStringLiteral("El campo Base fue seleccionado mas de una vez"),
        QStringLiteral("El campo Coeficiente fue seleccionado mas de una vez"),
        QStringLiteral("El campo Total fue seleccionado mas de una vez")};
    return validarColumnas("ValidarCamposLiq", frmSelectCamposLiquidacion::campos(), repetidos,
                           {{Item, QStringLiteral("Debe seleccionar la columna Item")},
                            {Codigo, QStringLiteral("Debe seleccionar la columna Codigo")},
                            {Tipo, QStringLiteral("Debe seleccionar la columna Tipo")},
                            {Base, QStringLiteral("Debe seleccionar la columna Base")},
                            {Coef, QStringLiteral("Debe seleccionar la columna Coeficiente")},
                            {Total, QStringLiteral("Debe seleccionar la columna Total")}});
}

void frmXLS2Liquidaciones::cargarLiquidaciones() {
    runHandler(*this, QStringLiteral("cargarLiquidaciones"), [this] {
        const auto celda = [this](int fila, Campo campo) {
            return HojaDespachoImport::celda(fila, campo).remove(QStringLiteral("\r\n"));
        };
        // The sheet names items by the number they show; their lines hang on the item's key.
        const QHash<QString, QString> claves = modDA::getClavesPorNumeroMostrado(m_Despacho);
        // The items named in the sheet lose their lines, each once.
        QStringList items;
        QSet<QString> nombrados;
        // Every row is checked before anything is written: a failing row changes nothing.
        std::vector<modDA::LineaLiquidacionHoja> lineas;
        // The sheet row of each item and tax code: one line each.
        QHash<QString, int> filaDeLinea;
        for (int r = 2; r < grdCanc->rows(); ++r) {
            const QString item = celda(r, Item);
            const QString codigo = celda(r, Codigo);
            const QString tipo = celda(r, Tipo);
            const QString base = celda(r, Base);
            const QString coef = celda(r, Coef);
            const QString total = celda(r, Total);
            // The row as the spreadsheet numbers it (rows dropped on reading leave gaps).
            const int fila = filaHoja(r);
            const QString linea = QStringLiteral(". Linea ") + QString::number(fila);
            QString falla;
            if (!isNumeric(item))
                falla =
                    QStringLiteral("El valor item: ") + item + QStringLiteral(" no es numerico");
            else if (!isNumeric(base))
                falla = QStringLiteral("El Base imponible: ") + base +
                        QStringLiteral(" no es numerico");
            else if (!isNumeric(coef))
                falla = QStringLiteral("El coeficiente o porcentaje: ") + coef +
                        QStringLiteral(" no es numerico");
            else if (!isNumeric(total))
                falla =
                    QStringLiteral("El Valor total: ") + total + QStringLiteral(" no es numerico");
            else if (!(toNumber(item) > 0.0))
                falla = QStringLiteral("El valor item debe ser mayor a cero");
            // Judged as stored: 0,001 is written as 0.00.
            else if (!(corvelix::roundedAsShown(toNumber(base), kDecimalesMonto) > 0.0))
                falla = QStringLiteral("El Base imponible debe ser mayor a cero");
            else if (!(corvelix::roundedAsShown(toNumber(coef), kDecimalesCoeficiente) > 0.0))
                falla = QStringLiteral("El coeficiente o porcentaje debe ser mayor a cero");
            else if (!(corvelix::roundedAsShown(toNumber(total), kDecimalesMonto) > 0.0))
                falla = QStringLiteral("El Valor total debe ser mayor a cero");
            else if (codigo.size() != 3)
                falla = QStringLiteral("El codigo de concepto: ") + codigo +
                        QStringLiteral(" debe ser de 3 digitos");
            else if (tipo.size() != 1)
                falla =
                    QStringLiteral("El Tipo: ") + tipo + QStringLiteral(" debe ser de 1 digito");
            else if (!esEntero(toNumber(item)))
                falla = QStringLiteral("El valor item: ") + item +
                        QStringLiteral(" no es un número entero");
            else if (!valorDeCatalogo(toNumber(base), kDecimalesMonto))
                falla = QStringLiteral("El Base imponible: ") + base + QLatin1Char(' ') +
                        fueraDelCatalogo(kDecimalesMonto);
            else if (!valorDeCatalogo(toNumber(coef), kDecimalesCoeficiente))
                falla = QStringLiteral("El coeficiente o porcentaje: ") + coef + QLatin1Char(' ') +
                        fueraDelCatalogo(kDecimalesCoeficiente);
            else if (!valorDeCatalogo(toNumber(total), kDecimalesMonto))
                falla = QStringLiteral("El Valor total: ") + total + QLatin1Char(' ') +
                        fueraDelCatalogo(kDecimalesMonto);
            const QString nart =
                falla.isEmpty() ? claves.value(formatNumber(toNumber(item), QStringLiteral("0000")))
                                : QString();
            if (falla.isEmpty() && nart.isEmpty())
                falla = QStringLiteral("El item: ") + item +
                        QStringLiteral(" no existe en el despacho ") + m_Despacho;
            if (falla.isEmpty()) {
                const QString clave = nart + QLatin1Char('|') + conceptoGuardado(codigo);
                if (const auto otra = filaDeLinea.constFind(clave); otra != filaDeLinea.cend()) {
                    ui().msgBox(QStringLiteral("El item %1 con el codigo de concepto %2 está "
                                               "repetido en las lineas %3 y %4")
                                    .arg(item, codigo)
                                    .arg(*otra)
                                    .arg(fila),
                                MsgButtons::Ok, MsgIcon::Exclamation);
                    return;
                }
                filaDeLinea.insert(clave, fila);
            }
            if (!falla.isEmpty()) {
                ui().msgBox(falla + linea, MsgButtons::Ok, MsgIcon::Exclamation);
                return;
            }
            if (!nombrados.contains(nart)) {
                nombrados.insert(nart);
                items.append(nart);
            }
            lineas.push_back({nart, codigo, tipo, toNumber(base), toNumber(coef), toNumber(total)});
        }
        terminarCarga([&] { modDA::reemplazarLiquidaciones(m_Despacho, items, lineas); });
    });
}

void frmXLS2Liquidaciones::cmdCargarCancelaciones_Click() {
    if (ValidarCamposLiq())
        cargarLiquidaciones();
}

// The window has no keys of its own: Esc does not close it.
void frmXLS2Liquidaciones::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    HojaDespachoImport::keyPressEvent(event);
}
