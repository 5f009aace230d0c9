#include "assembly/frmBusquedaArticulo.h"

#include "runtime/FormKit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using corvelix::runHandler;

frmBusquedaArticulo::frmBusquedaArticulo(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBusquedaArticulo"));
    setWindowTitle(QStringLiteral("Buscar Articulo"));
    setFixedSize(330, 110);

    lbTexto = new QLabel(QStringLiteral("Ingrese el texto"), this);
    lbTexto->setObjectName(QStringLiteral("lbTexto"));
    lbTexto->setGeometry(10, 10, 310, 20);

    txtArticulo = new QLineEdit(this);
    txtArticulo->setObjectName(QStringLiteral("txtArticulo"));
    txtArticulo->setGeometry(10, 34, 310, 24);

    cmdBuscar = new QPushButton(QStringLiteral("Buscar"), this);
    cmdBuscar->setObjectName(QStringLiteral("cmdBuscar"));
    cmdBuscar->setGeometry(144, 72, 85, 28);
    cmdBuscar->setAutoDefault(false);
    cmdBuscar->setDefault(true);
    cmdBuscar->setEnabled(false);

    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(235, 72, 85, 28);
    cmdCancelar->setAutoDefault(false);

    connect(txtArticulo, &QLineEdit::textChanged, this, [this] {
        runHandler(*this, QStringLiteral("txtArticulo_Change"), [this] { txtArticulo_Change(); });
    });
    connect(cmdBuscar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdBuscar_Click"), [this] { cmdBuscar_Click(); });
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdCancelar_Click"), [this] { cmdCancelar_Click(); });
    });
    activacion_ = new corvelix::FirstActivation(*this, [this] {
        runHandler(*this, QStringLiteral("Form_Activate"), [this] { Form_Activate(); });
    });
}

void frmBusquedaArticulo::Form_Activate() {
    mBusqueda.clear();
    // Each showing starts empty, as a freshly loaded window.
    txtArticulo->clear();
    txtArticulo->setFocus();
}

void frmBusquedaArticulo::txtArticulo_Change() {
    cmdBuscar->setEnabled(txtArticulo->text().trimmed().size() >= 3);
}

void frmBusquedaArticulo::cmdBuscar_Click() {
    mBusqueda = txtArticulo->text().trimmed();
    accept();
}

void frmBusquedaArticulo::cmdCancelar_Click() {
    mBusqueda.clear();
    reject();
}

void frmBusquedaArticulo::keyPressEvent(QKeyEvent* event) {
    // Enter is the default button's, Esc the cancel button's; a disabled Buscar does nothing.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Escape) {
            cmdCancelar->click();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); focused != nullptr)
                focused->click();
            else
                cmdBuscar->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}
