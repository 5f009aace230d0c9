#include "item_editor/frmFOB2InfoAd.h"

#include "data/item_editor_rows.h"
#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "shell/utiles.h"

#include <QLineEdit>
#include <QLocale>

frmFOB2InfoAd::frmFOB2InfoAd(QWidget* parent)
    : TransferenciaInfoAd(parent, QStringLiteral("frmFOB2InfoAd"),
                          QStringLiteral("FOB Item a Informacion Adicional"),
                          QStringLiteral("Transferir FOB Item a Info Adicional")) {
    txtMoneda = agregarCampo(QStringLiteral("Moneda"), "txtMoneda", QStringLiteral("DOL"), true);
    txtTipoPase =
        agregarCampo(QStringLiteral("Tipo de Cambio"), "txtTipoPase", QStringLiteral("1,000000"));
    completar();
}

void frmFOB2InfoAd::cargarDatos() {
    corvelix::chained(QStringLiteral("Corvelix.frmFOB2InfoAd.cargarDatos"), [&] {
        txtTipoPase->setText(QStringLiteral("1"));
        const modDA::Recordset rs = modDA::getDDTByNumber(m_Despacho);
        if (rs.eof())
            throw corvelix::VbError(3021, QStringLiteral("Corvelix"),
                                    QStringLiteral("No hay ningún registro activo."));
        txtMoneda->setText(rs.text("CDDTDEVFOB"));
        const double tasa = utiles::getTipoPase(txtMoneda->text());
        txtTipoPase->setText(corvelix::formatNumber(tasa, QStringLiteral("00.000000")));
    });
}

void frmFOB2InfoAd::procesar() {
    const QString textoTasa = txtTipoPase->text();
    if (!corvelix::isNumeric(textoTasa))
        return avisar(QStringLiteral("Debe ingresar un valor numerico en Tipo de Cambio."));
    const double tasa = corvelix::toNumber(textoTasa);
    // A failed rate request leaves 0 here: it would write 0,00 on every item.
    if (!(tasa > 0))
        return avisar(QStringLiteral("El Tipo de Cambio debe ser un numero mayor a 0."));
    txtMoneda->setText(txtMoneda->text().toUpper());
    QString codigo;
    QString items;
    if (!leerDestino(codigo, items))
        return;
    const QStringList procesados =
        modDA::transferirFOB(m_Despacho, items, codigo, tasa, QLocale().decimalPoint());
    mostrarProcesado(procesados.isEmpty() ? QString() : procesados.last());
    corvelix::ui().msgBox(QStringLiteral("Proceso terminado"), corvelix::MsgButtons::Ok,
                          corvelix::MsgIcon::Information);
}
