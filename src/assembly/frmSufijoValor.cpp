#include "assembly/frmSufijoValor.h"

#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::runHandler;
using corvelix::ui;

frmSufijoValor::frmSufijoValor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSufijoValor"));
    setWindowTitle(QStringLiteral("Valor de Sufijo"));
    setFixedSize(330, 80);

    lbSufijos = new QLabel(this);
    lbSufijos->setObjectName(QStringLiteral("lbSufijos"));
    lbSufijos->setGeometry(10, 10, 310, 20);

    txtValorSufijo = new QLineEdit(this);
    txtValorSufijo->setObjectName(QStringLiteral("txtValorSufijo"));
    txtValorSufijo->setGeometry(10, 40, 310, 24);

    activacion_ = new corvelix::FirstActivation(*this, [this] {
        runHandler(*this, QStringLiteral("Form_Activate"), [this] { Form_Activate(); });
    });
}

void frmSufijoValor::Form_Activate() {
    if (bInicio)
        return;
    lbSufijos->setText(m_Sufijo);
    txtValorSufijo->setText(m_SufijoValor);
    txtValorSufijo->selectAll();
    txtValorSufijo->setFocus();
    m_Resulado.clear();
    bInicio = true;
}

void frmSufijoValor::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        runHandler(*this, QStringLiteral("Guardar"), [this] { Guardar(); });
        return;
    }
    if (mods == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        bInicio = false;
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSufijoValor::Guardar() {
    if (txtValorSufijo->text().trimmed().isEmpty()) {
        ui().msgBox(QStringLiteral("Debe ingresar un valor"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (m_Sufijo.left(1).toUpper() == QLatin1String("Z"))
        GuardarNumero();
    else
        GuardarString();
}

void frmSufijoValor::GuardarNumero() {
    corvelix::chained(QStringLiteral("Corvelix.frmSufijoValor.GuardarNumero"), [&] {
        const QString texto = txtValorSufijo->text();
        if (!corvelix::isNumeric(texto)) {
            ui().msgBox(QStringLiteral("Debe ingresa un valor numerico"), MsgButtons::Ok,
                        MsgIcon::Exclamation);
            return;
        }
        const double valor = std::floor(corvelix::toNumber(texto));
        // A leading "-" would close the entry early in the suffix string.
        if (valor < 0) {
            ui().msgBox(QStringLiteral("El valor de sufijo no puede ser negativo"), MsgButtons::Ok,
                        MsgIcon::Exclamation);
            return;
        }
        m_Resulado = corvelix::formatNumber(valor, QStringLiteral("000000"));
        bInicio = false;
        accept();
    });
}

void frmSufijoValor::GuardarString() {
    corvelix::chained(QStringLiteral("Corvelix.frmSufijoValor.GuardarString"), [&] {
        QString texto = txtValorSufijo->text();
        m_Resulado = m_sVALSUF(texto);
        bInicio = false;
        accept();
    });
}

QString frmSufijoValor::m_sVALSUF(QString& p_Valor) {
    p_Valor = p_Valor.trimmed().toUpper();
    const QString cortado = p_Valor.size() > 40 ? p_Valor.left(40) : p_Valor;
    QString resultado;
    resultado.reserve(cortado.size());
    for (const QChar c : cortado)
        resultado += m_sVALCHAR(c);
    return resultado;
}

QChar frmSufijoValor::m_sVALCHAR(QChar p_Valor) {
    static const QString kPermitidos = QStringLiteral("%&#+,./_=!");
    const char16_t u = p_Valor.unicode();
    if ((u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'\u00D1' ||
        kPermitidos.contains(p_Valor))
        return p_Valor;
    return QLatin1Char(' ');
}
