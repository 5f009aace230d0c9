#include "item_editor/frmSufijos2InfoAd.h"

#include "data/item_editor_rows.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QLineEdit>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;

frmSufijos2InfoAd::frmSufijos2InfoAd(QWidget* parent)
    : TransferenciaInfoAd(parent, QStringLiteral("frmSufijos2InfoAd"),
                          QStringLiteral("Sufijos a Informacion Adicional"),
                          QStringLiteral("Transferir Sufijo a Información Adicional")) {
    txtSufijo = agregarCampo(QStringLiteral("Sufijo"), "txtSufijo", QString(), true);
    completar();
}

QString frmSufijos2InfoAd::extraerValorSufijo(const QString& p_Sufijos, const QString& p_Sufijo) {
    int line = 10;
    return corvelix::chained(
        QStringLiteral("Corvelix.frmSufijos2InfoAd.extraerValorSufijo"),
        [&]() -> QString {
            const qsizetype p = p_Sufijos.indexOf(p_Sufijo + QLatin1Char('('));
            line = 11;
            if (p < 0)
                return {};
            line = 20;
            const qsizetype inicio = p + p_Sufijo.size() + 1;
            line = 30;
            const qsizetype fin = p_Sufijos.indexOf(QStringLiteral(")-"), inicio);
            line = 31;
            if (fin < 0)
                throw corvelix::VbError(5, QStringLiteral("Corvelix"),
                                        QStringLiteral("Llamada a procedimiento o argumento no "
                                                       "válidos"));
            line = 40;
            return p_Sufijos.mid(inicio, fin - inicio);
        },
        line);
}

void frmSufijos2InfoAd::procesar() {
    const QString sufijo = txtSufijo->text().trimmed().toUpper();
    if (sufijo.size() != 2)
        return avisar(QStringLiteral("Debe ingresar un codigo de sufijo válido."));
    txtSufijo->setText(sufijo);
    QString codigo;
    QString items;
    if (!leerDestino(codigo, items))
        return;

    // Every value is read before anything is written: a malformed string refuses the whole
    // transfer.
    modDA::Recordset rs = modDA::getSufijosParaTransferir(m_Despacho, items, sufijo);
    QList<modDA::ValorInfoAdicional> valores;
    QStringList marcar;
    QString lista;
    for (; !rs.eof(); rs.moveNext()) {
        const QString nart = rs.text("NART");
        const QString valor = extraerValorSufijo(rs.text("CSBTSVL").trimmed(), sufijo);
        if (!valor.isEmpty())
            valores.append({nart, valor});
        if (rs.text("ISBT") == QLatin1String("0001"))
            lista += nart + QLatin1Char(',');
        // Rows come by item: an item's second row follows its first.
        if (marcar.isEmpty() || marcar.last() != nart)
            marcar << nart;
    }
    modDA::escribirInfoAdicional(m_Despacho, codigo, valores, marcar);
    mostrarProcesado(marcar.isEmpty() ? QString() : marcar.last());
    if (!lista.isEmpty())
        ui().msgBox(QStringLiteral("Los siguientes item's tienen mas de un subitems, solo se "
                                   "envió el valor del subitem 0001: \r\n\r\nListado de items: "
                                   "\r\n") +
                        lista,
                    MsgButtons::Ok, MsgIcon::Information);
    ui().msgBox(QStringLiteral("Proceso terminado"), MsgButtons::Ok, MsgIcon::Information);
}
