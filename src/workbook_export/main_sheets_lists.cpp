// The list sheets of the declaration workbook (cancellations, packages, DCEXP, PAC/ROM,
// liquidation, gross-income tax) and the liquidation workbook's sheet.

#include "workbook_export/main_workbook.h"

#include "data/cancellations.h"
#include "data/export_reads.h"
#include "data/liquidation_lines.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "workbook_export/ListSheet.h"
#include "workbook_export/WorkbookText.h"

#include <QList>

using modDA::Recordset;
using workbook::Column;
using workbook::columnIndex;
using workbook::Kind;
using workbook::listSheet;
using workbook::ListSheet;
using workbook::Sheet;

namespace mainModule {

namespace {

QString location(const char* writer) {
    return QStringLiteral("Corvelix.frmArmadoITEM.") + QLatin1String(writer);
}

// The liquidation writers show the busy pointer while they run; a failure leaves it on for
// the driver to reset.
template <class Build> QByteArray withBusyPointer(Build build) {
    corvelix::ui().setBusy(true);
    QByteArray text = build();
    corvelix::ui().setBusy(false);
    return text;
}

} // namespace

QByteArray generarNODOCancelacion(const QString& IDDT) {
    return corvelix::chained(location("generarNODOCancelacion"), [&] {
        Recordset rs = modDA::getDescargas(IDDT);
        if (rs.eof())
            return QByteArray();
        return listSheet(u"Cancelaciones",
                         {{"ITEM", "NDCNART", Kind::Item},
                          {"DESTINACION SUSPENSIVA", "IDCNAPU"},
                          {"NCM", "IDCNESPNCE"},
                          {"ITEM A CANCELAR", "NDCNARTAPU", Kind::Item},
                          {"SUBITEM A CANCELAR", "NDCNSBTAPU", Kind::Item},
                          {"CANTIDAD", "QDCNAPU", Kind::NumberPlain},
                          {"FACTOR", "CDCNRESOL"},
                          {"PROCESO PRODUCTIVO", "CDCNEXPAPU"}},
                         std::move(rs));
    });
}

QByteArray generarNODOBultos(const QString& IDDT) {
    return corvelix::chained(location("generarNODOBultos"), [&] {
        return listSheet(u"Bultos",
                         {{"TRANSPORTE", "NDDTIMMTRN"},
                          {"VIA", "CDDTMDETRN"},
                          {"BANDERA", "CDDTPAYTRN"},
                          {"DEPOSITO", "CDDTDEP"},
                          {"NUMEROS", "LBULNUMCLS"},
                          {"EMBALAJE", "CBULNATEMB"},
                          {"TIPO EMBALAJE", "CBULEXT"},
                          {"CANTIDAD", "QBULDECLAR", Kind::NumberPlain},
                          {"PESO BRUTO", "QBULUMMBRT", Kind::NumberPlain}},
                         modDA::getBultos(IDDT));
    });
}

QByteArray generarNODODCEXP(const QString& IDDT) {
    return corvelix::chained(location("generarNODODCEXP"), [&] {
        return listSheet(u"DCEXP",
                         {{"ITEM", "NART"},
                          {"CODIGO", "CCCM"},
                          {"DOCUMENTO EXPORTACION", "MCCM"},
                          {"ITEM DCEXP", "CCCMNART"}},
                         modDA::getDCEXP(IDDT));
    });
}

QByteArray generarNODOPACROM(const QString& IDDT) {
    return corvelix::chained(location("generarNODOPACROM"), [&] {
        return listSheet(u"PAC ROM",
                         {{"ITEM", "NART"},
                          {"DESTINACION PAC/ROM", "CIDCM"},
                          {"ITEM PAC/ROM", "CDCMNART"},
                          {"PAIS PAC/ROM", "CDCMPAYPAC"},
                          {"UNIDAD ESTADISTICA", "CDCMUNTEST"},
                          // A text cell: the quantity as the user's locale writes it.
                          {"CANTIDAD ESTADISTICA", "QDCMUNTEST"}},
                         modDA::getPACROM(IDDT));
    });
}

QByteArray generarNODOLiquidacionTotal(const QString& IDDT) {
    return corvelix::chained(location("generarNODOLiquidacionTotal"), [&] {
        return withBusyPointer([&] {
            const double cotizacion = modDA::getTipoCotiz(IDDT);
            Recordset rs = modDA::getLiquidacionTOTAL(IDDT);
            const QList<Column> columns{{"CONCEPTO", "CLITTAX"},
                                        {"DOLARES", "MLIT", Kind::Amount},
                                        {"PESOS", "MLIT"},
                                        {"OBLIGACION", "CLITTYP"}};
            ListSheet list(u"Liquidacion total", columns, rs);
            list.header();
            const int concepto = columnIndex(rs, QStringLiteral("CLITTAX"));
            const int monto = columnIndex(rs, QStringLiteral("MLIT"));
            const int obligacion = columnIndex(rs, QStringLiteral("CLITTYP"));
            const QString mask = QStringLiteral("00.00");
            for (; !rs.eof(); rs.moveNext()) {
                const QVariant dolares = rs.field(monto);
                Sheet& sheet = list.sheet();
                sheet.beginRow();
                sheet.textCell(rs.field(concepto));
                sheet.numberCell(dolares, mask);
                // Rounded after the product, not the rounded dollars times the rate.
                sheet.numberCell(dolares.isNull() ? QVariant()
                                                  : QVariant(dolares.toDouble() * cotizacion),
                                 mask);
                sheet.textCell(rs.field(obligacion));
                sheet.endRow();
            }
            return list.sheet().finish();
        });
    });
}

QByteArray generarNODOLiquidacionItems(const QString& IDDT) {
    return corvelix::chained(location("generarNODOLiquidacionItems"), [&] {
        return withBusyPointer([&] {
            return listSheet(u"Liquidacion Items",
                             {{"ITEM", "NART", Kind::Item},
                              {"CONCEPTO", "CLQATAX"},
                              {"PORCENTAJE", "QLQACOEFIC", Kind::Amount},
                              {"BASE IMPONIBLE", "MLQABAS", Kind::Amount},
                              {"OBLIGACION", "CLQATYP"},
                              {"MOTIVO", "CLQAMOTGAR", Kind::Motive},
                              {"IMPORTE", "MLQA", Kind::Amount}},
                             modDA::getLiquidacionItems(IDDT));
        });
    });
}

QByteArray generarNODOLiquidacionFULL(const QString& IDDT) {
    return corvelix::chained(location("generarNODOLiquidacionFULL"), [&] {
        return withBusyPointer([&] {
            Recordset rs = modDA::getLiquidacionFULL(IDDT);
            ListSheet list(u"Liquidacion Items",
                           {{"ITEM", "NARTEXT"},
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
                           rs);
            list.sheet().line("<Column ss:Index=\"1\" ss:Span=\"14\" ss:AutoFitWidth=\"1\" />");
            list.header();
            list.rows(rs);
            return list.sheet().finish();
        });
    });
}

QByteArray generarNODOIB(const QString& IDDT) {
    return corvelix::chained(location("generarNODOIB"), [&] {
        return withBusyPointer([&] {
            Recordset jurisdicciones = modDA::getJurisdicciones(IDDT);
            ListSheet list(u"I.B.",
                           {{"JURISDICCION", "CDIBJURIS"},
                            {"COEFICIENTE", "QDIBCOEFIC", Kind::Amount},
                            {"ALICUOTA", "QJRDALILOC", Kind::Amount},
                            {"FACTOR", "FACTOR", Kind::Amount}},
                           jurisdicciones);
            Sheet& sheet = list.sheet();
            sheet.beginRow();
            for (const char* header : {"SEDE", "CONDICION", "C. MULTILATERAL", "JURISDICCION",
                                       "COEFICIENTE", "ALICUOTA", "FACTOR"})
                sheet.headerCell(QString::fromLatin1(header));
            sheet.endRow();

            const Recordset inscripcion = modDA::getCIB(IDDT);
            bool primera = true;
            for (; !jurisdicciones.eof(); jurisdicciones.moveNext()) {
                sheet.beginRow();
                if (primera) {
                    // The first registration row the database gives; without one (or with
                    // its jurisdiction expired) the cells stay empty.
                    for (const char* field : {"CCIBNUMINS", "CCIBEXENTO", "CCIBINSCON"})
                        sheet.textCell(inscripcion.eof() ? QVariant()
                                                         : inscripcion.field(QLatin1String(field)));
                    primera = false;
                } else {
                    for (int i = 0; i < 3; ++i)
                        sheet.textCell(QStringLiteral(" "));
                }
                list.cells(jurisdicciones);
                sheet.endRow();
            }
            return sheet.finish();
        });
    });
}

} // namespace mainModule
