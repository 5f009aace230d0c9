#include "ListTabsHost.h"

#include "shell/frmListado.h"
#include "shell/frmSeleccionarITEMs.h"
#include "support/ScriptedUi.h"

#include <QVBoxLayout>

namespace corvelix::test {

const QString kListTabsDespacho = QStringLiteral("26001IC04000123A");

const QString kListTabsSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, CDDTDEVFOB) VALUES ('26001IC04000123A', 'DOL');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTPAYORI, MARTFOB, CARTETA, CARTSTUDEV) VALUES ('26001IC04000123A', '0001', '0001', '225', 1234.567, 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTPAYORI, MARTFOB, CARTETA, CARTSTUDEV) VALUES ('26001IC04000123A', '0002', '0002', '310', 10, 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTPAYORI, MARTFOB, CARTETA, CARTSTUDEV) VALUES ('26001IC04000123A', '0003', '0003', '310', 0.5, 'V', 'V');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('V1', 'Ventaja uno', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('V9', 'Vencida', '2000-01-01 00:00:00', '2001-12-31 00:00:00');
INSERT INTO ZCP (CZCP, LZCPDESC, IZCPIG, DZCPINI, DZCPFIN) VALUES ('MARCA', 'Marca', 'I', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO DOC (CDOC, LDOCDESC, DDOCINI, DDOCFIN) VALUES ('LIC', 'Licencia', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0000', 'ALL3', 'a', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0001', 'ALL3', 'a', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0002', 'ALL3', 'a', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0003', 'ALL3', 'a', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0001', 'SIMQ', 's', 'S');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0001', 'V1');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0002', 'V1');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0003', 'V1');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0001', 'NOVEN');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0001', 'LIC', 'S', 'L');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0002', 'LIC', 'S', 'L');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0003', 'LIC', 'S', 'L');
INSERT INTO CCM (IDDT, NART, CCCM, MCCM, DESARROLLO, CCCMNART) VALUES ('26001IC04000123A', 2, 'DCEXP', 'OLD', 1, '2');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES ('26001IC04000123A', '0001', '0000', 'AB(one)-');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES ('26001IC04000123A', '0002', '0001', 'AB(sub1)-');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES ('26001IC04000123A', '0002', '0000', 'AB(own)-');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES ('26001IC04000123A', '0003', '0000', 'AB()-');
)");

ListTabsHost::ListTabsHost(const QString& itemNumber) : item(itemNumber) {
    host.setObjectName(QStringLiteral("frmItemDetalle"));
    auto* layout = new QVBoxLayout(&host);
    const auto contexto = [this] {
        ContextoItem c;
        c.ventana = &host;
        c.operacion = [] { return kListTabsDespacho; };
        c.item = [this] { return item; };
        c.paisOrigen = [this] { return origen; };
        c.validaLiquidacion = [this] { ++liquidationChecks; };
        c.cargaDataItem_Zero = [this] {
            ++globalReloads;
            cargar();
        };
        return c;
    };
    QWidget* paginas[4];
    for (QWidget*& p : paginas) {
        p = new QWidget(&host);
        layout->addWidget(p);
    }
    info = new PestanaInfoAdicional(*paginas[0], contexto());
    ventajas = new PestanaVentajas(*paginas[1], contexto());
    documentos = new PestanaDocumentos(*paginas[2], contexto());
    ccpac = new PestanaCCPAC(*paginas[3], contexto());
    host.show();
}

ListTabsHost::~ListTabsHost() = default;

void ListTabsHost::cargar() {
    if (item == QLatin1String("0000")) {
        info->CargarInfoAdicional_ZERO(kListTabsDespacho);
        ventajas->cargarVentajas_ZERO(kListTabsDespacho);
        documentos->cargarDocumentos_ZERO(kListTabsDespacho);
        ccpac->cargarCCPAC_ZERO();
    } else {
        info->CargarInfoAdicional(kListTabsDespacho, item);
        ventajas->cargarVentajas(kListTabsDespacho, item);
        documentos->cargarDocumentos();
        ccpac->cargarCCPAC();
    }
}

void answerItemPicker(const QString& answer) {
    ScriptedUi::current().onForm(QStringLiteral("frmSeleccionarITEMs"), [answer](QDialog& d) {
        static_cast<frmSeleccionarITEMs&>(d).m_Resultado = answer;
    });
}

void answerLookup(const QString& code, const QString& value) {
    ScriptedUi::current().onForm(QStringLiteral("frmListado"), [code, value](QDialog& d) {
        static_cast<frmListado&>(d).m_Salida = code;
        frmListado::m_ValorDefecto = value;
    });
}

QStringList boxes() {
    QStringList out;
    for (const ScriptedUi::Box& b : ScriptedUi::current().boxes)
        out << QString::number(static_cast<int>(b.icon)) + QLatin1Char('|') + b.text;
    return out;
}

} // namespace corvelix::test
