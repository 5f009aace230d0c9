#include "imports/frmGenerarCancelaciones.h"

#include "runtime/FormKit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmGenerarCancelaciones::frmGenerarCancelaciones(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmGenerarCancelaciones"));
    setWindowTitle(QStringLiteral("Generar Descarga"));
    setFixedSize(330, 130);

    auto* label = new QLabel(QStringLiteral("Destinacion Suspensiva"), this);
    label->setObjectName(QStringLiteral("Label"));
    label->setGeometry(10, 12, 150, 22);
    txtDIT = new QLineEdit(this);
    txtDIT->setObjectName(QStringLiteral("txtDIT"));
    txtDIT->setGeometry(165, 10, 155, 24);
    txtDIT->setMaxLength(16);

    auto* label1 = new QLabel(QStringLiteral("Cert Proc Prod (opcional)"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(10, 46, 150, 22);
    txtCTIT = new QLineEdit(this);
    txtCTIT->setObjectName(QStringLiteral("txtCTIT"));
    txtCTIT->setGeometry(165, 44, 155, 24);

    cmdGenerar = new QPushButton(QStringLiteral("Generar"), this);
    cmdGenerar->setObjectName(QStringLiteral("cmdGenerar"));
    cmdGenerar->setGeometry(140, 88, 85, 28);
    cmdGenerar->setAutoDefault(false);
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(235, 88, 85, 28);
    cmdCancelar->setAutoDefault(false);

    setTabOrder(txtDIT, txtCTIT);
    connect(cmdGenerar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdGenerar_Click"),
                             [this] { cmdGenerar_Click(); });
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCancelar_Click"),
                             [this] { cmdCancelar_Click(); });
    });
}

void frmGenerarCancelaciones::cmdGenerar_Click() {
    m_DIT = txtDIT->text();
    m_CTIT = txtCTIT->text();
    accept();
}

void frmGenerarCancelaciones::cmdCancelar_Click() {
    m_DIT.clear();
    m_CTIT.clear();
    reject();
}

void frmGenerarCancelaciones::keyPressEvent(QKeyEvent* event) {
    // Neither button answers Enter or Esc.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
