#include "assembly/frmFacturas.h"

#include "data/declaration_reads.h"
#include "data/invoices.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "shell/ClCntrl.h"
#include "shell/utiles.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

frmFacturas::frmFacturas(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFacturas"));
    setWindowTitle(QStringLiteral("Nueva Factura"));
    setFixedSize(300, 100);

    txtFactura = new QLineEdit(this);
    txtFactura->setObjectName(QStringLiteral("txtFactura"));
    txtFactura->setGeometry(12, 14, 276, 26);
    txtFactura->setMaxLength(20);
    txtFactura->setAlignment(Qt::AlignCenter);

    cmdAgregar = new QPushButton(QStringLiteral("Agregar"), this);
    cmdAgregar->setObjectName(QStringLiteral("cmdAgregar"));
    cmdAgregar->setGeometry(112, 58, 85, 28);
    cmdAgregar->setAutoDefault(false);
    cmdAgregar->setDefault(true);

    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(203, 58, 85, 28);
    cmdCancelar->setAutoDefault(false);

    control_ = new ClCntrl(this);
    control_->sLinkText(txtFactura);
    // Installed after the input control, so it sees Enter first: the default button takes
    // Enter before the text box's own key handling, as it did in the old forms.
    txtFactura->installEventFilter(this);

    new corvelix::FirstActivation(*this, [this] { Form_Activate(); });
    connect(cmdAgregar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("guardarFC"), [this] { guardarFC(); });
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCancelar_Click"), [this] {
            m_Resultado = false;
            reject();
        });
    });
}

void frmFacturas::Form_Activate() {
    m_Resultado = false;
}

void frmFacturas::guardarFC() {
    m_Resultado = false;
    txtFactura->setText(
        trimBlanks(txtFactura->text()).replace(QLatin1Char('\''), QLatin1Char(' ')));
    const QString factura = txtFactura->text();
    if (trimBlanks(factura).isEmpty())
        return;
    if (modDA::extraerSubRegimen(m_Operacion).startsWith(QLatin1Char('E')) &&
        !utiles::validarFormato(factura)) {
        ui().msgBox(QStringLiteral("Formato de Factura Expo Inávlida\nDebe ser 00000-00000000"),
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (modDA::existeFactura(m_Operacion, factura)) {
        ui().msgBox(QStringLiteral("La factura ") + factura + QStringLiteral(" ya esta cargada."),
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (modDA::facturasAgregar(m_Operacion, true, factura)) {
        m_Resultado = true;
        accept();
    }
}

bool frmFacturas::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFactura && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            cmdAgregar->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmFacturas::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdCancelar->click();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter on a focused button presses that button; elsewhere it presses Agregar.
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); focused != nullptr)
            focused->click();
        else
            cmdAgregar->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
