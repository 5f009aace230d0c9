#include "item_editor/frmSufijos2InfoAd.h"

#include "data/item_editor_rows.h"
#include "runtime/Ui.h"
#include "shell/frmListado.h"
#include "shell/utiles.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;

namespace {

QPushButton* boton(QDialog* dlg, const QString& texto, const char* nombre) {
    auto* b = new QPushButton(texto, dlg);
    b->setObjectName(QLatin1String(nombre));
    b->setAutoDefault(false);
    return b;
}

void avisar(const QString& texto) {
    ui().msgBox(texto, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace

frmSufijos2InfoAd::frmSufijos2InfoAd(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSufijos2InfoAd"));
    setWindowTitle(QStringLiteral("Sufijos a Informacion Adicional"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Transferir Sufijo a Información Adicional"), this),
                    0, 0, 1, 3);
    lbDespacho = new QLabel(this);
    lbDespacho->setObjectName(QStringLiteral("lbDespacho"));
    grid->addWidget(lbDespacho, 1, 0, 1, 3);
    txtSufijo = new QLineEdit(this);
    txtSufijo->setObjectName(QStringLiteral("txtSufijo"));
    grid->addWidget(new QLabel(QStringLiteral("Sufijo"), this), 2, 0);
    grid->addWidget(txtSufijo, 2, 1);
    txtInfoAdicional = new QLineEdit(this);
    txtInfoAdicional->setObjectName(QStringLiteral("txtInfoAdicional"));
    cmdInfoAdic = boton(this, QStringLiteral("..."), "cmdInfoAdic");
    grid->addWidget(new QLabel(QStringLiteral("Información Adicional"), this), 3, 0);
    grid->addWidget(txtInfoAdicional, 3, 1);
    grid->addWidget(cmdInfoAdic, 3, 2);
    lbItem = new QLabel(this);
    lbItem->setObjectName(QStringLiteral("lbItem"));
    grid->addWidget(lbItem, 4, 0, 1, 3);
    cmdProcesar = boton(this, QStringLiteral("Procesar"), "cmdProcesar");
    cmdCancelar = boton(this, QStringLiteral("Cancelar"), "cmdCancelar");
    grid->addWidget(cmdProcesar, 5, 1);
    grid->addWidget(cmdCancelar, 5, 2);

    txtSufijo->installEventFilter(this);
    txtInfoAdicional->installEventFilter(this);
    connect(cmdInfoAdic, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("bucarInfoAdicional"),
                             [this] { bucarInfoAdicional(); }, {MsgIcon::Exclamation, {}, {}});
    });
    connect(cmdProcesar, &QPushButton::clicked, this, [this] { cmdProcesar_Click(); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCancelar_Click"),
                             [this] { cmdCancelar_Click(); });
    });
    activacion_ = new corvelix::FirstActivation(*this, [this] { lbDespacho->setText(m_Despacho); });
}

bool frmSufijos2InfoAd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtSufijo && event->type() == QEvent::FocusOut)
        txtSufijo->setText(txtSufijo->text().toUpper());
    if (watched == txtInfoAdicional && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        txtInfoAdicional->clear();
        return true;
    }
    return QDialog::eventFilter(watched, event);
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

void frmSufijos2InfoAd::bucarInfoAdicional() {
    frmListado frm;
    frm.m_Salida.clear();
    frm.m_Tabla = 3;
    ui().exec(frm);
    txtInfoAdicional->setFocus();
    if (!frm.m_Salida.isEmpty())
        txtInfoAdicional->setText(frm.m_Salida);
}

void frmSufijos2InfoAd::habilitar(bool si) {
    cmdCancelar->setEnabled(si);
    cmdInfoAdic->setEnabled(si);
    cmdProcesar->setEnabled(si);
}

void frmSufijos2InfoAd::cmdProcesar_Click() {
    ui().setBusy(true);
    habilitar(false);
    corvelix::runHandler(
        *this, QStringLiteral("cmdProcesar_Click"),
        [this] {
            const QString sufijo = txtSufijo->text().trimmed().toUpper();
            if (sufijo.size() != 2)
                return avisar(QStringLiteral("Debe ingresar un codigo de sufijo válido."));
            txtSufijo->setText(sufijo);
            const QString codigo = txtInfoAdicional->text().trimmed();
            if (codigo.isEmpty())
                return avisar(QStringLiteral("Debe seleccionar una información adicional"));
            const QString items = utiles::getSeleccionarITEMS(m_Despacho);
            if (items.isEmpty())
                return avisar(QStringLiteral("Debe seleccionar como minimo un item"));

            // Every value is read before anything is written: a malformed string refuses the
            // whole transfer.
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
            if (!marcar.isEmpty())
                lbItem->setText(QStringLiteral("procesando item ") + marcar.last() +
                                QStringLiteral(" ...."));
            ui().processEvents();
            if (!lista.isEmpty())
                ui().msgBox(QStringLiteral("Los siguientes item's tienen mas de un subitems, solo "
                                           "se envió el valor del subitem 0001: \r\n\r\nListado "
                                           "de items: \r\n") +
                                lista,
                            MsgButtons::Ok, MsgIcon::Information);
            ui().msgBox(QStringLiteral("Proceso terminado"), MsgButtons::Ok, MsgIcon::Information);
        },
        {MsgIcon::Exclamation, {}, {}});
    ui().setBusy(false);
    habilitar(true);
}

void frmSufijos2InfoAd::cmdCancelar_Click() {
    reject();
}
