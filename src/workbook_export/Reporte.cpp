#include "workbook_export/Reporte.h"

#include "data/cancellations.h"
#include "data/declaration_reads.h"
#include "data/liquidation_lines.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "workbook_export/ListSheet.h"
#include "workbook_export/WorkbookFile.h"
#include "workbook_export/WorkbookText.h"

using modDA::Recordset;
using workbook::Column;
using workbook::Kind;

namespace Reporte {

namespace {

QString location(const char* writer) {
    return QStringLiteral("Corvelix.frmArmadoITEM.") + QLatin1String(writer);
}

// No rows, no worksheet.
QByteArray sheetOrNothing(QStringView name, const QList<Column>& columns, Recordset rs) {
    if (rs.eof())
        return {};
    return workbook::listSheet(name, columns, std::move(rs), false);
}

} // namespace

QByteArray generarNODOItem(const QString& IDDT) {
    return corvelix::chained(location("generarNODOItem"), [&] {
        modDA::runProcedure(QStringLiteral("setItemVentajas"), {IDDT});
        return sheetOrNothing(u"Item",
                              {{"Item", "nartext"},
                               {"NCM", "ncm"},
                               {"Lista", "lista"},
                               {"Origen", "paisorigen"},
                               {"Proc", "paisproc"},
                               {"Unidad", "unidad_dec"},
                               {"Cantidad", "cantidad_dec", Kind::Amount},
                               {"Estadistica", "unidad_est"},
                               {"Cantidasd Est", "cantidasd_est", Kind::Amount},
                               {"KiloNeto", "KiloNeto", Kind::Amount, "00.000"},
                               {"FOB", "fob", Kind::Amount},
                               {"FLETE", "flete", Kind::Amount},
                               {"SEGURO", "seguro", Kind::Amount},
                               {"Aj Inc", "ajuste_inc", Kind::Amount},
                               {"Aj Ded", "ajuste_ded", Kind::Amount},
                               {"Ventajas", "ventajas", Kind::ListDash}},
                              modDA::getITEMsByDespacho(IDDT));
    });
}

QByteArray generarNODOItemDatos(const QString& IDDT) {
    return corvelix::chained(location("generarNODOItemDatos"), [&] {
        modDA::runProcedure(QStringLiteral("setItemVentajas"), {IDDT});
        modDA::runProcedure(QStringLiteral("SETITEMINFOAD"), {IDDT});
        modDA::runProcedure(QStringLiteral("SETITEMDOCS"), {IDDT});
        return sheetOrNothing(u"Item Info",
                              {{"Item", "nartext"},
                               {"NCM", "ncm"},
                               {"Lista", "lista"},
                               {"Origen", "paisorigen"},
                               {"Proceden", "paisproc"},
                               {"Ventajas", "ventajas", Kind::ListLines},
                               {"Info Adic", "INFOAD", Kind::ListLines},
                               {"Documentos", "DOCS", Kind::ListLines}},
                              modDA::getITEMs_Solodatos_ByDespacho(IDDT));
    });
}

QByteArray generarNODOArticulos(const QString& IDDT) {
    return corvelix::chained(location("generarNODOArticulos"), [&] {
        return sheetOrNothing(u"Articulos",
                              {{"Codigo", "IEXT"},
                               {"Item", "NARTEXT", Kind::Item},
                               {"SubIt", "ISBT", Kind::Item},
                               {"NCM", "IESPNCE"},
                               {"Sufijos", "CSBTSVL"},
                               {"Unidad", "CARTUNTDCL"},
                               {"Cantidad", "CANTIDAD", Kind::Amount},
                               {"Estadistica", "CARTUNTEST"},
                               {"Cantidad Est", "CANTIDAD_ESTADISTICA", Kind::Amount},
                               {"Unitario", "FOB_UNITARIO", Kind::Amount, "#0.00000"},
                               {"Total", "FOB_TOTAL", Kind::Amount}},
                              modDA::getArticulosByDespacho(IDDT, QString()));
    });
}

QByteArray generarNODOLiquidacion(const QString& IDDT) {
    return corvelix::chained(location("generarNODOLiquidacion"), [&] {
        return sheetOrNothing(u"Liquidacion",
                              {{"Item", "NARTEXT", Kind::Item},
                               {"NCM", "IESPNCE"},
                               {"FOB Dol", "MARTFOBDOL", Kind::Amount},
                               {"Seguro", "MARTASS", Kind::Amount},
                               {"Flete", "MARTFLE", Kind::Amount},
                               {"Aj Inc", "MARTAJUINC", Kind::Amount},
                               {"Aj Ded", "MARTAJUDED", Kind::Amount},
                               {"Lista", "LISTA"},
                               {"Codigo", "CLQATAX"},
                               {"Descripcion", "LTAXABR"},
                               {"Tipo", "CLQATYP"},
                               {"Base", "MLQABAS", Kind::Amount},
                               {"Coef", "QLQACOEFIC", Kind::Amount, "#0.00"},
                               {"Total", "MLQA", Kind::Amount}},
                              modDA::getLiquidacionFULL(IDDT));
    });
}

QByteArray generarNODOCancelacion(const QString& IDDT) {
    return corvelix::chained(location("generarNODOCancelacion"), [&] {
        return sheetOrNothing(u"Cancelaciones",
                              {{"Item Provisorio", "NDCNART", Kind::Item},
                               {"Declaracion", "IDCNAPU"},
                               {"Item", "NDCNARTAPU", Kind::Item},
                               {"SubIt", "NDCNSBTAPU", Kind::Item},
                               {"NCM", "IDCNESPNCE"},
                               {"Cantidad", "QDCNAPU", Kind::NumberPlain},
                               {"Cert Proc Prod", "CDCNEXPAPU"},
                               {"Nro Orden", "NDCNORDEN"},
                               {"Fact.Ponderacion", "CDCNRESOL"}},
                              modDA::getDescargas(IDDT));
    });
}

workbook::WorkbookParts piezasLibro(const QString& IDDT) {
    using Writer = QByteArray (*)(const QString&);
    static constexpr Writer kSheets[] = {generarNODOItem, generarNODOItemDatos,
                                         generarNODOArticulos, generarNODOLiquidacion,
                                         generarNODOCancelacion};
    QList<QByteArray> sheets;
    for (const Writer writer : kSheets)
        sheets << writer(IDDT);
    return workbook::assemble(false, std::move(sheets));
}

QByteArray armarLibro(const QString& IDDT) {
    return piezasLibro(IDDT).joined();
}

void GenerarArchivoDespacho(const QString& IDDT, const QString& referencia) {
    workbook::Export spec;
    spec.driver = QStringLiteral("GenerarArchivoDespacho");
    spec.dialogTitle = QStringLiteral("Exportar el provisorio a Excel");
    // The main window's entry sets the pointer around this driver.
    spec.setsPointer = false;
    spec.build = [&IDDT] { return piezasLibro(IDDT); };
    spec.refusal = [&IDDT](const workbook::WorkbookParts& libro) {
        if (libro.hasWorksheet())
            return QString();
        return QStringLiteral("El provisorio ") + IDDT +
               QStringLiteral(" no tiene items, liquidaciones ni cancelaciones para exportar: no "
                              "se genero el archivo");
    };
    workbook::exportWorkbook(spec, workbook::proposedFileName(IDDT, referencia));
}

} // namespace Reporte
