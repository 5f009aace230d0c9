#include "shell/frmInputText.h"

#include "runtime/FormKit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmInputText::frmInputText(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmInputText"));
    setWindowTitle(QStringLiteral("Ingresar"));
    setFixedSize(360, 120);

    lbTexto = new QLabel(this);
    lbTexto->setObjectName(QStringLiteral("lbTexto"));
    lbTexto->setGeometry(10, 8, 340, 34);
    lbTexto->setWordWrap(true);

    txtValor = new QLineEdit(this);
    txtValor->setObjectName(QStringLiteral("txtValor"));
    txtValor->setGeometry(10, 46, 340, 24);

    cmdAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setGeometry(170, 82, 85, 28);
    cmdAceptar->setAutoDefault(false);
    cmdAceptar->setDefault(true);

    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(265, 82, 85, 28);
    cmdCancelar->setAutoDefault(false);

    connect(cmdAceptar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdAceptar_Click"),
                             [this] { cmdAceptar_Click(); });
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCancelar_Click"),
                             [this] { cmdCancelar_Click(); });
    });
    activacion_ = new corvelix::FirstActivation(*this, [this] { preparar(); });
}

void frmInputText::Form_Activate() {
    activacion_->activate();
}

void frmInputText::preparar() {
    m_Resultado.clear();
    txtValor->setEchoMode(m_Oculto ? QLineEdit::Password : QLineEdit::Normal);
    if (!m_Texto.isEmpty())
        lbTexto->setText(m_Texto);
    if (!m_Valor_Defecto.trimmed().isEmpty())
        txtValor->setText(m_Valor_Defecto);
}

void frmInputText::cmdAceptar_Click() {
    m_Resultado.clear();
    m_Valor_Defecto.clear();
    m_Texto.clear();
    m_Resultado = txtValor->text();
    unload(QDialog::Accepted);
}

void frmInputText::cmdCancelar_Click() {
    m_Resultado.clear();
    m_Valor_Defecto.clear();
    m_Texto.clear();
    unload(QDialog::Rejected);
}

void frmInputText::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancelar->click();
        return;
    }
    // Enter on a focused button presses that button; elsewhere it presses Aceptar.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); focused != nullptr) {
            focused->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void frmInputText::reject() {
    unload(QDialog::Rejected);
}

void frmInputText::unload(int result) {
    // The next showing starts from the design state, as a freshly loaded box.
    lbTexto->clear();
    txtValor->clear();
    QDialog::done(result);
}
