#include "assembly/frmFacturasPegar.h"

#include "assembly/frmFacturas.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"

#include <QFont>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;

frmFacturasPegar::frmFacturasPegar(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFacturasPegar"));
    setWindowTitle(QStringLiteral("Pegar Facturas"));
    setFixedSize(420, 400);

    txtFacturas = new QPlainTextEdit(this);
    txtFacturas->setObjectName(QStringLiteral("txtFacturas"));
    txtFacturas->setGeometry(12, 12, 396, 330);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    txtFacturas->setFont(fixed);
    txtFacturas->setLineWrapMode(QPlainTextEdit::NoWrap);

    cmdPaste = new QPushButton(QStringLiteral("Pegar"), this);
    cmdPaste->setObjectName(QStringLiteral("cmdPaste"));
    cmdPaste->setGeometry(12, 356, 85, 30);
    cmdPaste->setAutoDefault(false);

    cmdAgregar = new QPushButton(QStringLiteral("Agregar FCs"), this);
    cmdAgregar->setObjectName(QStringLiteral("cmdAgregar"));
    cmdAgregar->setGeometry(232, 356, 85, 30);
    cmdAgregar->setAutoDefault(false);

    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(323, 356, 85, 30);
    cmdCancelar->setAutoDefault(false);

    connect(cmdPaste, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdPaste_Click"), [this] { cmdPaste_Click(); });
    });
    connect(cmdAgregar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cargarFC"), [this] { cargarFC(); });
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCancelar_Click"), [this] { reject(); });
    });
}

void frmFacturasPegar::showEvent(QShowEvent* event) {
    // Every showing starts empty: a cancelled one hands back nothing from an earlier one.
    if (!event->spontaneous()) {
        Facturas.clear();
        txtFacturas->clear();
        txtFacturas->setFocus();
    }
    QDialog::showEvent(event);
}

void frmFacturasPegar::cmdPaste_Click() {
    // Only plain text: an image or an empty clipboard gives the empty text.
    txtFacturas->setPlainText(ui().clipboardText());
}

void frmFacturasPegar::cargarFC() {
    const QString texto = txtFacturas->toPlainText();
    if (!trimBlanks(texto).isEmpty()) {
        Facturas = texto;
        accept();
        return;
    }
    ui().msgBox(QStringLiteral("Debe pegar el listado de factuas en el cuadro de texto"),
                MsgButtons::Ok, MsgIcon::Exclamation);
}

void frmFacturasPegar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdCancelar->click();
        return;
    }
    // No default button: Enter only ever makes a new line in the text box.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); focused != nullptr)
            focused->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
