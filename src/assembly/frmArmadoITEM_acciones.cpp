// Actions on the item view's rows: deletions, the subitem and suffix editors, the NCM
// replacement and the two tab-separated lists.
#include "assembly/frmArmadoITEM.h"

#include "assembly/frmCambiarNCM.h"
#include "assembly/frmSetSufijos.h"
#include "assembly/frmSubitemDetalle.h"
#include "assembly/frmSufijos.h"
#include "data/declaration_reads.h"
#include "data/item_actions.h"
#include "data/item_values.h"
#include "platform/FlexGrid.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "shell/modAPITools.h"

#include <QHash>
#include <QKeyEvent>
#include <QLocale>

#include <algorithm>

using corvelix::FlexGrid;
using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::runHandler;
using corvelix::ui;

namespace {

const QString kArticulos = QStringLiteral("articulos");
const QString kFilaItem = QStringLiteral("0000");
const QString kTab = QStringLiteral("\t");
const QString kFinLinea = QStringLiteral("\r\n");

// A cell as a list line holds it: a TAB, CR or LF inside would move the later cells.
QString celda(const QString& texto) {
    const auto corta = [](QChar c) {
        return c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    };
    // Most cells hold none: those are shared, not copied.
    if (std::none_of(texto.cbegin(), texto.cend(), corta))
        return texto;
    QString limpio = texto;
    std::replace_if(limpio.begin(), limpio.end(), corta, QLatin1Char(' '));
    return limpio;
}

QString numero(const modDA::Recordset& rs, const char* campo, const QString& mascara) {
    const QVariant valor = rs.field(QLatin1String(campo));
    if (valor.isNull())
        return QString();
    return corvelix::formatNumber(valor.toDouble(), mascara);
}

QString lista(const modDA::Recordset& rs, const char* campo) {
    return celda(rs.text(QLatin1String(campo))
                     .trimmed()
                     .replace(QStringLiteral("|#|"), QStringLiteral(" - ")));
}

QString sinArrobas(QString despacho) {
    return despacho.remove(QLatin1Char('@'));
}

} // namespace

QList<int> frmArmadoITEM::seleccion() const {
    const int desde =
        std::max(std::min(grdITEMS->row(), grdITEMS->rowSel()), grdITEMS->fixedRows());
    const int hasta = std::min(std::max(grdITEMS->row(), grdITEMS->rowSel()), grdITEMS->rows() - 1);
    QList<int> filas;
    for (int fila = desde; fila <= hasta; ++fila)
        filas.append(fila);
    return filas;
}

void frmArmadoITEM::recargar(bool cambiado) {
    const bool antes = soloLectura_;
    soloLectura_ = !cambiado;
    do_cargarItems();
    soloLectura_ = antes;
}

void frmArmadoITEM::eliminarITEMS() {
    if (modo() == kArticulos)
        return;
    runHandler(*this, QStringLiteral("eliminarITEMS"), [this] {
        if (rechazaAbierto())
            return;
        QStringList items;
        // The declaration-level row ("0000", the totals) is not an item to delete.
        for (const int fila : seleccion())
            if (const QString item = grdITEMS->textMatrix(fila, 0); item != kFilaItem)
                items.append(item);
        if (items.isEmpty())
            return;
        if (ui().msgBox(QStringLiteral("Confirma eliminar los item's seleccionados?"),
                        MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
            return;
        ui().setBusy(true);
        const bool eliminados = runHandler(*this, QStringLiteral("eliminarITEMS"),
                                           [&] { modDA::eliminarITEMS(m_Operacion, items); });
        // After a failure too: nothing was deleted, and the grid shows that.
        recargar(eliminados);
        ui().setBusy(false);
    });
}

void frmArmadoITEM::eliminarSBTS() {
    if (modo() != kArticulos)
        return;
    corvelix::GuardOptions exclamacion;
    exclamacion.icon = MsgIcon::Exclamation;
    runHandler(
        *this, QStringLiteral("eliminarSBTS"),
        [&] {
            if (rechazaAbierto())
                return;
            QList<QPair<QString, QString>> subitems;
            bool omitida = false;
            for (const int fila : seleccion()) {
                const QString subitem = grdITEMS->textMatrix(fila, 4);
                if (subitem == kFilaItem) {
                    omitida = true;
                    continue;
                }
                subitems.append({grdITEMS->textMatrix(fila, 1), subitem});
            }
            // Deleting the item's own row would turn its first subitem into the item.
            if (omitida)
                ui().msgBox(QStringLiteral("El renglon del item (subitem 0000) no se elimina."),
                            MsgButtons::Ok, MsgIcon::Information);
            if (subitems.isEmpty())
                return;
            if (ui().msgBox(QStringLiteral("Confirma eliminar los subitem's seleccionados?"),
                            MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
                return;
            ui().setBusy(true);
            const bool eliminados = runHandler(
                *this, QStringLiteral("eliminarSBTS"),
                [&] { modDA::eliminarSBTS(m_Operacion, subitems); }, exclamacion);
            // After a refusal too: the transaction deleted nothing, and the grid shows that.
            recargar(eliminados);
            ui().setBusy(false);
        },
        exclamacion);
}

void frmArmadoITEM::cargarSubitemsDetalle() {
    corvelix::chained(QStringLiteral("Corvelix.frmArmadoITEM.cargarSubitemsDetalle"), [&] {
        const int fila = grdITEMS->row();
        if (fila < grdITEMS->fixedRows() || fila >= grdITEMS->rows())
            return;
        frmSubitemDetalle detalle(this);
        detalle.m_Item = grdITEMS->textMatrix(fila, 1);
        detalle.m_subItem = grdITEMS->textMatrix(fila, 4);
        detalle.m_UnidadDeclarada = grdITEMS->textMatrix(fila, 7);
        detalle.m_CantidadDeclarada = corvelix::toNumber(grdITEMS->textMatrix(fila, 8));
        detalle.m_UnidadEstadistica = grdITEMS->textMatrix(fila, 9);
        detalle.m_CantidadEstadistica = corvelix::toNumber(grdITEMS->textMatrix(fila, 10));
        const QString unitario = grdITEMS->textMatrix(fila, 11);
        detalle.m_PrecioUnitario =
            corvelix::isNumeric(unitario) ? corvelix::toNumber(unitario) : 0.0;
        detalle.m_FobTotal = corvelix::toNumber(grdITEMS->textMatrix(fila, 12));
        detalle.m_Operacion = m_Operacion;
        ui().exec(detalle);
        do_cargarItems();
        if (fila < grdITEMS->rows()) {
            grdITEMS->setCurrentCell(fila, 0);
            grdITEMS->setTopRow(fila);
            grdITEMS->select(fila, 0, fila, grdITEMS->cols() - 1);
        }
    });
}

void frmArmadoITEM::cargarSufijos() {
    runHandler(*this, QStringLiteral("cargarSufijos"), [this] {
        const int fila = grdITEMS->row();
        if (grdITEMS->rows() <= grdITEMS->fixedRows() || fila < grdITEMS->fixedRows())
            return;
        const QString item = grdITEMS->textMatrix(fila, 1);
        const QString subitem = grdITEMS->textMatrix(fila, 4);
        frmSufijos sufijos(this);
        sufijos.m_Item = item;
        sufijos.m_subItem = subitem;
        sufijos.m_Sufijos = grdITEMS->textMatrix(fila, 6);
        ui().exec(sufijos);
        if (sufijos.m_Sufijos.isEmpty())
            return;
        if (modDA::actualizarSufijos(m_Operacion, item, subitem, sufijos.m_Sufijos))
            grdITEMS->setTextMatrix(fila, 6, sufijos.m_Sufijos);
    });
}

void frmArmadoITEM::mnuEstablecerSufijo_Click() {
    if (rechazaAbierto())
        return;
    EstablerSufijo();
}

void frmArmadoITEM::EstablerSufijo() {
    corvelix::chained(QStringLiteral("Corvelix.frmArmadoITEM.EstablerSufijo"), [&] {
        QList<SufijoSeleccionado> filas;
        for (const int fila : seleccion())
            filas.append({m_Operacion, grdITEMS->textMatrix(fila, 1), grdITEMS->textMatrix(fila, 4),
                          grdITEMS->textMatrix(fila, 6)});
        SufijosSeleccionados = filas;
        frmSetSufijos dialogo(this);
        ui().exec(dialogo);
        do_cargarItems();
    });
}

void frmArmadoITEM::mnuReemplazarncm_Click() {
    if (rechazaAbierto())
        return;
    frmCambiarNCM dialogo(this);
    dialogo.m_Despachos = m_Operacion;
    ui().exec(dialogo);
    if (dialogo.m_Resultado)
        do_cargarItems();
}

QString frmArmadoITEM::textoExportarExcel(const QString& despacho) {
    modDA::Recordset rs = modDA::getITEMsByDespacho_FULL(despacho);
    if (rs.eof())
        return QString();
    const QString montos = QStringLiteral("###,##0.00");
    QString texto = QStringLiteral("Item\tNCM\tLista\tOrigen\tProceden\tUnidad\tCantidad\t"
                                   "Estadistica\tCantidasd Est\tKiloNeto\tFOB\tFLETE\tSEGURO\t"
                                   "Aj Inc\tAj Ded\tVentajas\tInfo Ad.\tDocumentos") +
                    kFinLinea;
    for (; !rs.eof(); rs.moveNext()) {
        const QStringList celdas = {
            celda(rs.text(QStringLiteral("NARTEXT"))),
            celda(rs.text(QStringLiteral("NCM"))),
            celda(rs.text(QStringLiteral("Lista"))),
            celda(rs.text(QStringLiteral("PaisOrigen"))),
            celda(rs.text(QStringLiteral("paisproc"))),
            celda(rs.text(QStringLiteral("unidad_dec"))),
            numero(rs, "cantidad_dec", montos),
            celda(rs.text(QStringLiteral("unidad_est"))),
            numero(rs, "cantidasd_est", montos),
            numero(rs, "KiloNeto", QStringLiteral("###,##0.000")),
            numero(rs, "FOB", montos),
            numero(rs, "flete", montos),
            numero(rs, "seguro", montos),
            numero(rs, "ajuste_inc", montos),
            numero(rs, "ajuste_ded", montos),
            lista(rs, "ventajas"),
            lista(rs, "infoad"),
            lista(rs, "docs"),
        };
        texto += celdas.join(kTab) + kFinLinea;
    }
    return texto;
}

void frmArmadoITEM::ExportarExcel() {
    runHandler(*this, QStringLiteral("ExportarEXCEL"), [this] {
        QString ruta = modAPITools::SaveFileCommonDialog(
            QStringLiteral("Guardar Reporte Items"), QString(), QString(),
            sinArrobas(m_Operacion) + QStringLiteral(".xls"));
        if (ruta.isEmpty())
            return;
        const QString texto = textoExportarExcel(m_Operacion);
        if (texto.isEmpty()) {
            ui().msgBox(QStringLiteral("No hay registro para generar el reporte en excel"),
                        MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        if (ruta.right(3).toLower() != QLatin1String("xls"))
            ruta += QStringLiteral(".xls");
        modAPITools::generarArchivo(ruta, texto);
        ui().msgBox(QStringLiteral("se genero el archivo ") + ruta, MsgButtons::Ok,
                    MsgIcon::Information);
    });
}

QString frmArmadoITEM::textoExportarArticulos(const QString& despacho) {
    modDA::Recordset rs = modDA::getArticulosByDespacho(despacho, QString());
    const QString cantidad = QStringLiteral("00.00");
    const QString comillas = QStringLiteral("\"");
    QString texto =
        QStringLiteral("Despacho\tCodigo\tItem\tSubItem\tNCM\tSufijos\tUnidad\tCantidad\t"
                       "Estadistica\tCantidad Est\tUnitario\tTotal") +
        kFinLinea;
    texto.reserve(texto.size() + rs.recordCount() * 160);
    const int iddt = rs.fieldIndex(QStringLiteral("IDDT"));
    const int iext = rs.fieldIndex(QStringLiteral("iEXT"));
    const int nartext = rs.fieldIndex(QStringLiteral("NARTEXT"));
    const int isbt = rs.fieldIndex(QStringLiteral("ISBT"));
    const int ncm = rs.fieldIndex(QStringLiteral("IESPNCE"));
    const int svl = rs.fieldIndex(QStringLiteral("CSBTSVL"));
    const int untdcl = rs.fieldIndex(QStringLiteral("CARTUNTDCL"));
    const int untest = rs.fieldIndex(QStringLiteral("CARTUNTEST"));
    const int cant = rs.fieldIndex(QStringLiteral("CANTIDAD"));
    const int cantEst = rs.fieldIndex(QStringLiteral("CANTIDAD_ESTADISTICA"));
    const int unit = rs.fieldIndex(QStringLiteral("FOB_UNITARIO"));
    const int total = rs.fieldIndex(QStringLiteral("FOB_TOTAL"));
    // Quantities and prices repeat a lot: each distinct value is formatted once per mask.
    QHash<double, QString> cantidades;
    QHash<double, QString> unitarios;
    const QLocale locale;
    const auto formato = [&](const QVariant& v, QHash<double, QString>& hechos,
                             const QString& mascara) {
        if (v.isNull())
            return QString();
        const double d = v.toDouble();
        auto it = hechos.constFind(d);
        if (it == hechos.constEnd())
            it = hechos.insert(d, corvelix::formatNumber(d, mascara, locale));
        return *it;
    };
    const QString unitario = QStringLiteral("#0.00000");
    const QString entreComillas = kTab + comillas;
    const QString cierraComillas = comillas + kTab;
    // Appended piece by piece into the one text: no temporary line per row.
    for (const QVariantList& fila : rs.rows()) {
        const auto celda_ = [&](int i) { texto += celda(fila.at(i).toString()); };
        celda_(iddt);
        texto += kTab;
        celda_(iext);
        texto += entreComillas;
        celda_(nartext);
        texto += cierraComillas;
        texto += comillas;
        celda_(isbt);
        texto += cierraComillas;
        celda_(ncm);
        texto += kTab;
        celda_(svl);
        texto += kTab;
        celda_(untdcl);
        texto += kTab;
        texto += formato(fila.at(cant), cantidades, cantidad);
        texto += kTab;
        celda_(untest);
        texto += kTab;
        texto += formato(fila.at(cantEst), cantidades, cantidad);
        texto += kTab;
        texto += formato(fila.at(unit), unitarios, unitario);
        texto += kTab;
        texto += formato(fila.at(total), cantidades, cantidad);
        texto += kFinLinea;
    }
    return texto;
}

void frmArmadoITEM::exportarExcelArticulos() {
    runHandler(*this, QStringLiteral("exportarExcelArticulos"), [this] {
        const QString ruta = modAPITools::SaveFileCommonDialog(
            QStringLiteral("Guardar Reporte Articulos"), QString(), QString(),
            sinArrobas(m_Operacion) + QStringLiteral(" articulos.xls"));
        if (ruta.isEmpty())
            return;
        modAPITools::generarArchivo(ruta, textoExportarArticulos(m_Operacion));
        ui().msgBox(QStringLiteral("se genero el archivo ") + ruta, MsgButtons::Ok,
                    MsgIcon::Information);
    });
}
