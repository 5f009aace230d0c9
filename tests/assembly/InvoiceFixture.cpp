#include "InvoiceFixture.h"

#include "data/connection.h"
#include "data/modDA.h"
#include "platform/FlexGrid.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"

#include <QPushButton>

using corvelix::test::ScriptedUi;

namespace invoice_test {

QString seed() {
    return QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT, CDDTAGR, LDDTNOMIOE, LDDTNOMFOD, MDDTFOB, MDDTFLE, MDDTASS, CDDTSTUSGG, CDDTSTUBUL, CDDTSTUDEV) VALUES ('26001IC04000600A', 'REF-1', '20-11111111-1', 'IMPORTADORA SUR SA', 'VENDEDOR LTD', 1234.5, 5, NULL, 'V', 'V', 'V');
INSERT INTO DDT (IDDT, IEXT, CDDTAGR, LDDTNOMIOE, LDDTNOMFOD, MDDTFOB, MDDTFLE, MDDTASS, CDDTSTUSGG, CDDTSTUBUL, CDDTSTUDEV) VALUES ('26001EC01000601B', 'EXPO-1', '20-22222222-2', 'EXPORTADORA NORTE SA', 'COMPRADOR INC', 10, 0, 0, 'V', 'V', 'V');
INSERT INTO DDT (IDDT, IEXT, CDDTAGR, LDDTNOMIOE, LDDTNOMFOD, MDDTFOB, MDDTFLE, MDDTASS, CDDTSTUSGG, CDDTSTUBUL, CDDTSTUDEV) VALUES ('26001IC04000602C', NULL, NULL, NULL, NULL, NULL, NULL, NULL, 'V', 'V', 'V');
INSERT INTO ART (IDDT, NART, IESPNCE, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTAJUDED, MARTAJUINC, CARTETA) VALUES ('26001IC04000600A', '0001', '8467.21', '07', 10, '07', 10, 5.5, 1.5, NULL, 'V');
INSERT INTO ART (IDDT, NART, IESPNCE, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTAJUDED, MARTAJUINC, CARTETA) VALUES ('26001IC04000600A', '0002', '8467.21', '07', 5, '01', 2.5, 2.5, 2, NULL, 'V');
INSERT INTO ART (IDDT, NART, IESPNCE, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTAJUDED, MARTAJUINC, CARTETA) VALUES ('26001IC04000600A', '0003', '7318.15', '98', 3, '07', 3, 1, 0, NULL, 'V');
INSERT INTO UMM (CUMMUNTMSR, LUMMUNTMSR, DUMMEFF, DUMMFIN) VALUES ('07', 'UNIDAD', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO UMM (CUMMUNTMSR, LUMMUNTMSR, DUMMEFF, DUMMFIN) VALUES ('98', 'GRUESA', '2000-01-01 00:00:00', '2015-06-30 00:00:00');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000600A', '0000', 'FACTURACOMERCIAL', 'S', 'F-1');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000600A', '0000', 'CONOCEMBARQUE', 'S', 'BL-9');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000600A', '0000', 'FACTURACOMERCIAL', 'S', 'F-2');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000600A', '0001', 'FACTURACOMERCIAL', 'S', 'F-ITEM');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000600A', '0000', 'FACTURACOMERCIAL', 'S', 'F-3');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001EC01000601B', '0000', 'FACTURACOMERCIAL', 'S', '00001-00000001');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000602C', '0000', 'FACTURACOMERCIAL', 'N', '');
)");
}

QStringList storedInvoices(const QString& iddt) {
    return corvelix::test::queryRows(
        modDA::getConnection(modDA::kCatalog),
        QStringLiteral("SELECT CDVDPRSDOC || ':' || LDVDREFDOC FROM DVD WHERE IDVD = ? AND NART "
                       "= '0000' AND CDVDDOC = 'FACTURACOMERCIAL' ORDER BY rowid"),
        {iddt});
}

QStringList gridRows(const corvelix::FlexGrid& grid) {
    QStringList rows;
    for (int r = 0; r < grid.rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.cols(); ++c)
            cells << grid.textMatrix(r, c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList shownInvoices(QWidget& caratula) {
    QStringList rows = gridRows(child<corvelix::FlexGrid>(caratula, "grdFacturas"));
    if (!rows.isEmpty())
        rows.removeFirst();
    return rows;
}

bool withCaratula(frmCaratula& form, const QString& despacho,
                  const std::function<void(frmCaratula&)>& inside) {
    bool ran = false;
    ScriptedUi::current().onForm(QStringLiteral("frmCaratula"), [&](QDialog& dialog) {
        ran = true;
        inside(static_cast<frmCaratula&>(dialog));
    });
    form.m_Operacion = despacho;
    corvelix::ui().exec(form);
    return ran;
}

bool withCaratula(const QString& despacho, const std::function<void(frmCaratula&)>& inside) {
    frmCaratula form;
    return withCaratula(form, despacho, inside);
}

void pasteThroughClipboard(frmCaratula& form, const QString& text) {
    ScriptedUi& seam = ScriptedUi::current();
    seam.setClipboard(text);
    seam.onForm(QStringLiteral("frmFacturasPegar"), [](QDialog& dialog) {
        child<QPushButton>(dialog, "cmdPaste").click();
        child<QPushButton>(dialog, "cmdAgregar").click();
    });
    child<QPushButton>(form, "cmdAddMasivos").click();
}

} // namespace invoice_test
