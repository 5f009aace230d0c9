#include "assembly/frmSetSufijos.h"

#include "assembly/utiles_sufijos.h"
#include "data/item_values.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "shell/ClCntrl.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::runHandler;
using corvelix::ui;

corvelix::ProcessStatic<QList<SufijoSeleccionado>> SufijosSeleccionados{
    QList<SufijoSeleccionado>()};

frmSetSufijos::frmSetSufijos(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSetSufijos"));
    setWindowTitle(QStringLiteral("Establecer Sufijo"));
    setFixedSize(330, 130);

    (new QLabel(QStringLiteral("Sufijo"), this))->setGeometry(10, 12, 80, 20);
    txtCodSufijo = new QLineEdit(this);
    txtCodSufijo->setObjectName(QStringLiteral("txtCodSufijo"));
    txtCodSufijo->setGeometry(100, 10, 60, 24);
    (new QLabel(QStringLiteral("Valor"), this))->setGeometry(10, 44, 80, 20);
    txtSufijoValor = new QLineEdit(this);
    txtSufijoValor->setObjectName(QStringLiteral("txtSufijoValor"));
    txtSufijoValor->setGeometry(100, 42, 220, 24);

    cmdEstablcer = new QPushButton(QStringLiteral("Establecer"), this);
    cmdEstablcer->setObjectName(QStringLiteral("cmdEstablcer"));
    cmdEstablcer->setGeometry(130, 88, 90, 30);
    cmdEstablcer->setAutoDefault(false);
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(230, 88, 90, 30);
    cmdCancelar->setAutoDefault(false);

    ctrlCodigo_ = new ClCntrl(this);
    ctrlCodigo_->sLinkText(txtCodSufijo);
    ctrlValor_ = new ClCntrl(this);
    ctrlValor_->sLinkText(txtSufijoValor);

    connect(cmdEstablcer, &QPushButton::clicked, this, [this] { ProcesarSufijos(); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdCancelar_Click"), [this] { cmdCancelar_Click(); });
    });
}

void frmSetSufijos::keyPressEvent(QKeyEvent* event) {
    // Esc only closes through Cancelar; Enter belongs to the text boxes' control helper.
    if (event->key() == Qt::Key_Escape) {
        cmdCancelar->click();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

void frmSetSufijos::ProcesarSufijos() {
    corvelix::GuardOptions opciones;
    opciones.icon = MsgIcon::Exclamation;
    runHandler(
        *this, QStringLiteral("ProcesarSufijos"),
        [this] {
            const QString codigo = txtCodSufijo->text().trimmed().toUpper();
            QString valor = txtSufijoValor->text().trimmed();
            if (codigo.size() != 2) {
                ui().msgBox(QStringLiteral("Codigo de sufijo inválido"), MsgButtons::Ok,
                            MsgIcon::Exclamation);
                return;
            }
            if (valor.isEmpty()) {
                ui().msgBox(QStringLiteral("El valor de sufijo no puede estar vacio"),
                            MsgButtons::Ok, MsgIcon::Exclamation);
                return;
            }
            if (codigo.startsWith(QLatin1Char('Z'))) {
                if (!corvelix::isNumeric(valor)) {
                    ui().msgBox(QStringLiteral("El valor de sufijo tiene que ser numerico"),
                                MsgButtons::Ok, MsgIcon::Exclamation);
                    return;
                }
                const double numero = std::floor(corvelix::toNumber(valor));
                // A leading "-" would close the entry early in every string.
                if (numero < 0) {
                    ui().msgBox(QStringLiteral("El valor de sufijo no puede ser negativo"),
                                MsgButtons::Ok, MsgIcon::Exclamation);
                    return;
                }
                valor = corvelix::formatNumber(numero, QStringLiteral("000000"));
            } else if (!utiles::valorSufijoAdmisible(valor)) {
                ui().msgBox(QStringLiteral("El valor de sufijo no puede contener \"(\", \")\" "
                                           "ni \"-\""),
                            MsgButtons::Ok, MsgIcon::Exclamation);
                return;
            }
            if (ui().msgBox(QStringLiteral("Confirmar establer el valor ") + valor +
                                QStringLiteral(" en el Sufijo ") + codigo +
                                QStringLiteral(", en todos los ITEM's?"),
                            MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
                return;
            QList<modDA::SubitemSufijos> filas;
            for (const SufijoSeleccionado& s : SufijosSeleccionados.get())
                filas.append({s.IDDT, s.NART, s.ISBT, s.CSBTSVL});
            modDA::EstablecerSufijo(filas, codigo, valor);
            accept();
        },
        opciones);
}

void frmSetSufijos::cmdCancelar_Click() {
    reject();
}
