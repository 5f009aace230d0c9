// The header, item and subitem sheets of the declaration workbook.

#include "workbook_export/main_workbook.h"

#include "data/export_reads.h"
#include "data/invoices.h"
#include "data/modDA.h"
#include "data/workbook_reads.h"
#include "runtime/VbError.h"
#include "workbook_export/WorkbookText.h"

#include <array>
#include <vector>

using modDA::PivotTable;
using modDA::Recordset;
using workbook::columnIndex;
using workbook::Sheet;

namespace mainModule {

namespace {

QString location(const char* writer) {
    return QStringLiteral("Corvelix.frmArmadoITEM.") + QLatin1String(writer);
}

enum class Cell { Text, Amount, Fixed };

struct Column {
    const char* header;
    const char* field; // for Fixed: the cell's fixed text
    Cell kind = Cell::Text;
};

// Header sheet columns: one header row and one row per declaration.
constexpr std::array<Column, 21> kCaratula{{
    {"INTERNO", ""},
    {"REFERENCIA", "iEXT"},
    {"CLIENTE", "LDDTNOMIOE"},
    {"CUIT IE", "NDDTIMMIOE"},
    {"DESPACHANTE", "DESPACHANTE", Cell::Fixed},
    {"CUIT DA", "CDDTAGR"},
    {"REGIMEN", "ISTA"},
    {"ADUANA", "CDDTBUR"},
    {"INCOTERM", "CDDTINCOTE"},
    {"FOB", "MDDTFOB", Cell::Amount},
    {"FLETE", "MDDTFLE", Cell::Amount},
    {"SEGURO", "MDDTASS", Cell::Amount},
    {"MONEDA FOB", "CDDTDEVFOB"},
    {"MONEDA FLETE", "CDDTDEVFLE"},
    {"MONEDA SEG", "CDDTDEVASS"},
    {"DESTINO", "CDDTPAIDST"},
    {"ADUANA_SALIDA_DESTINO", "CDDTBURDST"},
    {"DEP_ALMACENAMIENTO", "IDAL"},
    {"MOTIVO", "CDDTMOT"},
    {"DIAS", "QDDTREGSUS"},
    {"AUTORIZACION", "NDDTNUMCVT"},
}};

constexpr std::array<Column, 14> kItem{{
    {"Item", "NARTEXT"},
    {"NCM", "IESPNCE"},
    {"ORIGEN", "CARTPAYORI"},
    {"PROCEDENCIA", "CARTPAYPRC"},
    {"ESTADO", "CARTUSO"},
    {"ACUERDO", "LISTA"},
    {"CANTIDAD", "QARTUNTDCL", Cell::Amount},
    {"VALOR FOB", "MARTFOB", Cell::Amount},
    {"FLETE EN DIV", "MARTFLE", Cell::Amount},
    {"SEGURO EN DIV", "MARTASS", Cell::Amount},
    {"AJUSTE A DEDUCIR", "MARTAJUDED", Cell::Amount},
    {"AJUSTE A INCLUIR", "MARTAJUINC", Cell::Amount},
    {"INSUMOS A CONSUMO", "MARTINSCON", Cell::Amount},
    {"INSUMOS TEMPORALES", "MARTINSTMP", Cell::Amount},
}};

const QString kAmountMask = QStringLiteral("00.00");

QString latin1(const char* text) {
    return QString::fromLatin1(text);
}

// Field positions of the columns that read one.
template <std::size_t N>
std::array<int, N> fieldsOf(const Recordset& rs, const std::array<Column, N>& columns) {
    std::array<int, N> indexes{};
    for (std::size_t i = 0; i < N; ++i)
        indexes[i] = columns[i].kind == Cell::Fixed || *columns[i].field == '\0'
                         ? -1
                         : columnIndex(rs, latin1(columns[i].field));
    return indexes;
}

template <std::size_t N>
void writeCells(Sheet& sheet, const Recordset& rs, const std::array<Column, N>& columns,
                const std::array<int, N>& indexes, int& line, int firstLine) {
    for (std::size_t i = 0; i < N; ++i) {
        line = firstLine + 10 * static_cast<int>(i);
        const Column& column = columns[i];
        if (column.kind == Cell::Fixed)
            sheet.textCell(latin1(column.field));
        else if (indexes[i] < 0)
            sheet.textCell(QStringView());
        else if (column.kind == Cell::Amount)
            sheet.numberCell(rs.field(indexes[i]), kAmountMask);
        else
            sheet.textCell(rs.field(indexes[i]));
    }
}

bool isKey(const QString& name, const QStringList& keys) {
    return keys.contains(name, Qt::CaseInsensitive);
}

// One pivot table's share of the item sheet.
struct PivotGroup {
    PivotGroup(PivotTable table_, const char* procedure_, bool itemSelector_, const char* prefix_,
               QStringList keys_)
        : table(table_), procedure(procedure_), itemSelector(itemSelector_), prefix(prefix_),
          keys(std::move(keys_)) {}

    PivotTable table;
    const char* procedure;
    bool itemSelector; // the procedure takes the item selector "9999"
    const char* prefix;
    QStringList keys; // key columns, never shown

    bool present = false;
    int width = 0;          // all its columns, keys included
    std::vector<int> shown; // positions within the table of the columns shown
    QStringList names;      // their names
    int base = 0;           // where its columns start in the item rows
};

} // namespace

QByteArray generarNODOCaratula(const QString& IDDT) {
    int line = 0;
    return corvelix::chained(
        location("generarNODOCaratula"),
        [&] {
            line = 30;
            // The declaration by its number alone: a reference that contains the number
            // belongs to another declaration.
            Recordset ddt = modDA::getDDTByNumber(IDDT);
            line = 40;
            if (ddt.eof())
                return QByteArray(); // no header, no sheet
            Sheet sheet(u"Caratula");
            line = 70;
            sheet.beginRow();
            for (std::size_t i = 0; i < kCaratula.size(); ++i) {
                line = 80 + 10 * static_cast<int>(i);
                sheet.headerCell(latin1(kCaratula[i].header));
            }
            line = 300;
            modDA::runProcedure(QStringLiteral("GETCPLPIVOT"), {IDDT, QStringLiteral("0000")});
            line = 320;
            const Recordset pivot = modDA::pivotRows(PivotTable::CPL);
            std::vector<int> dynamic;
            for (int i = 0; i < pivot.fieldCount(); ++i) {
                line = 330;
                const QString& name = pivot.fields().at(i);
                if (isKey(name, {QStringLiteral("ICPL"), QStringLiteral("NART")}))
                    continue;
                dynamic.push_back(i);
                sheet.headerCell(QStringLiteral("I:") + name);
            }
            line = 360;
            sheet.endRow();
            const auto indexes = fieldsOf(ddt, kCaratula);
            while (!ddt.eof()) {
                line = 380;
                sheet.beginRow();
                writeCells(sheet, ddt, kCaratula, indexes, line, 390);
                for (const int i : dynamic) {
                    line = 600;
                    // The pivot's first row: the declaration's own values.
                    sheet.textCell(pivot.eof() ? QVariant() : pivot.field(i));
                }
                line = 650;
                sheet.endRow();
                line = 660;
                ddt.moveNext();
            }
            line = 700;
            Recordset facturas = modDA::getDocumentosCaratula(IDDT, true);
            line = 710;
            sheet.beginRow().textCell(QStringView()).endRow();
            line = 740;
            if (!facturas.eof()) {
                line = 750;
                sheet.beginRow().headerCell(u"FACTURAS").endRow();
                const int referencia = columnIndex(facturas, QStringLiteral("LDVDREFDOC"));
                while (!facturas.eof()) {
                    line = 790;
                    sheet.beginRow().textCell(facturas.field(referencia)).endRow();
                    line = 820;
                    facturas.moveNext();
                }
            }
            line = 850;
            return sheet.finish();
        },
        line);
}

QByteArray generarNODOItem(const QString& IDDT) {
    return corvelix::chained(location("generarNODOItem"), [&] {
        const QStringList kKeys{QStringLiteral("ICPL"), QStringLiteral("ISRG"),
                                QStringLiteral("NART")};
        // Documents, complementary information and advantages: the sheet's column order.
        std::array<PivotGroup, 3> groups{{
            {PivotTable::DVD, "GETDVDPIVOT", true,
             "D:", kKeys + QStringList{QStringLiteral("IDVD")}},
            {PivotTable::CPL, "GETCPLPIVOT", true, "I:", kKeys},
            {PivotTable::SRG, "GETSRGPIVOT", false, "V:", kKeys},
        }};
        PivotGroup& dvd = groups[0];
        PivotGroup& cpl = groups[1];
        PivotGroup& srg = groups[2];
        // Each table is built before the items are read, and its columns read right after.
        for (PivotGroup& group : groups) {
            QStringList args{IDDT};
            if (group.itemSelector)
                args << QStringLiteral("9999");
            modDA::runProcedure(latin1(group.procedure), args);
            group.present = modDA::pivotTableExists(group.table);
            if (!group.present)
                continue;
            const Recordset columns = modDA::pivotFirstRow(group.table);
            group.width = columns.fieldCount();
            for (int i = 0; i < group.width; ++i) {
                const QString& name = columns.fields().at(i);
                if (isKey(name, group.keys))
                    continue;
                group.shown.push_back(i);
                group.names << name;
            }
        }

        Recordset items = modDA::getITEMsPIVOT(IDDT, cpl.present, srg.present, dvd.present);
        if (items.eof())
            return QByteArray();
        // The pivots' columns close the item rows, in the reader's order: CPL, SRG, DVD. The
        // same code in two pivots then keeps each pivot's own value.
        int base = items.fieldCount();
        for (const PivotGroup* group : {&cpl, &srg, &dvd})
            base -= group->present ? group->width : 0;
        for (PivotGroup* group : {&cpl, &srg, &dvd}) {
            group->base = base;
            base += group->present ? group->width : 0;
        }

        const qsizetype cellsPerRow = static_cast<qsizetype>(kItem.size() + dvd.shown.size() +
                                                             cpl.shown.size() + srg.shown.size());
        Sheet sheet(u"Item", (items.recordCount() + 1) * (cellsPerRow * 56 + 20));
        sheet.beginRow();
        for (const Column& column : kItem)
            sheet.headerCellTwoBlanks(latin1(column.header));
        for (const PivotGroup& group : groups) {
            for (const QString& name : group.names)
                sheet.headerCell(latin1(group.prefix) + name);
        }
        sheet.endRow();

        const auto indexes = fieldsOf(items, kItem);
        int line = 0;
        for (; !items.eof(); items.moveNext()) {
            sheet.beginRow();
            writeCells(sheet, items, kItem, indexes, line, 0);
            for (const PivotGroup& group : groups) {
                for (const int i : group.shown)
                    sheet.textCell(items.field(group.base + i));
            }
            sheet.endRow();
        }
        return sheet.finish();
    });
}

QByteArray generarNODOSubitem(const QString& IDDT) {
    static constexpr std::array<const char*, 17> kHeaders{"ITEM",
                                                          "SUBITEM",
                                                          "NCM",
                                                          "MODELO",
                                                          "MARCA",
                                                          "CANTIDAD",
                                                          "UNITARIO",
                                                          "MONTO FOB",
                                                          "PESO NETO",
                                                          "CANT ESTADISTICA",
                                                          "SUFIJOS DE VALOR",
                                                          "CODIGO EAN",
                                                          "ESTADO",
                                                          "ORIGEN",
                                                          "ACUERDO",
                                                          "UNIDAD DECLARADA",
                                                          "UNIDAD ESTADISTICA"};
    int line = 0;
    return corvelix::chained(
        location("generarNODOSubitem"),
        [&] {
            line = 30;
            Recordset rs = modDA::getArticulosByDespacho_FULL(IDDT, QString());
            line = 40;
            if (rs.eof())
                return QByteArray();
            Sheet sheet(u"Subitem", (rs.recordCount() + 1) * 1000);
            line = 70;
            sheet.beginRow();
            for (std::size_t i = 0; i < kHeaders.size(); ++i) {
                line = 80 + 10 * static_cast<int>(i);
                sheet.headerCell(latin1(kHeaders[i]));
            }
            line = 250;
            sheet.endRow();

            const auto at = [&rs](const char* name) { return columnIndex(rs, latin1(name)); };
            const int nart = at("NART"), isbt = at("ISBT"), ncm = at("IESPNCE"),
                      sufijos = at("CSBTSVL"), cantidad = at("CANTIDAD"),
                      unitario = at("FOB_UNITARIO"), fob = at("FOB_TOTAL"),
                      kilos = at("QARTKGRNET"), estadistica = at("CANTIDAD_ESTADISTICA"),
                      ean = at("CSBTCODEAN"), estado = at("CARTUSO"), origen = at("CARTPAYORI"),
                      lista = at("Lista"), unidad = at("CARTUNTDCL"), unidadEst = at("CARTUNTEST");
            const QString modelo = QStringLiteral("AB,AI");
            const QString marca = QStringLiteral("AA");
            for (; !rs.eof(); rs.moveNext()) {
                line = 260;
                const QString svl = workbook::valueText(rs.field(sufijos));
                line = 270;
                sheet.beginRow();
                line = 280;
                sheet.textCell(rs.field(nart));
                line = 290;
                sheet.textCell(rs.field(isbt));
                line = 300;
                sheet.textCell(rs.field(ncm));
                line = 310;
                sheet.textCell(modDA::getValorPrimerSufijo(svl, modelo));
                line = 320;
                sheet.textCell(modDA::getValorPrimerSufijo(svl, marca));
                line = 330;
                sheet.numberCell(rs.field(cantidad), kAmountMask);
                line = 340;
                // Joined to the empty text first: a missing unit price shows 0.
                sheet.numberCell(workbook::valueText(rs.field(unitario)),
                                 QStringLiteral("00.0000"));
                line = 350;
                sheet.numberCell(rs.field(fob), kAmountMask);
                line = 360;
                sheet.numberCell(rs.field(kilos), kAmountMask);
                line = 370;
                sheet.numberCell(rs.field(estadistica), QStringLiteral("#0.00000"));
                line = 380;
                sheet.textCell(svl);
                line = 390;
                sheet.textCell(rs.field(ean));
                line = 400;
                sheet.textCell(rs.field(estado));
                line = 410;
                sheet.textCell(rs.field(origen));
                line = 420;
                sheet.textCell(rs.field(lista));
                line = 430;
                sheet.textCell(rs.field(unidad));
                line = 440;
                sheet.textCell(rs.field(unidadEst));
                line = 450;
                sheet.endRow();
                line = 460;
            }
            line = 480;
            return sheet.finish();
        },
        line);
}

} // namespace mainModule
