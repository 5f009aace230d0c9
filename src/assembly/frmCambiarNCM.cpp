#include "assembly/frmCambiarNCM.h"

#include "data/item_actions.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::runHandler;
using corvelix::ui;

frmCambiarNCM::frmCambiarNCM(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCambiarNCM"));
    setWindowTitle(QStringLiteral("Cambiar NCM"));
    setFixedSize(340, 170);

    (new QLabel(QStringLiteral("Seleccione NCM a Reemplazar"), this))->setGeometry(10, 8, 320, 20);
    cboNCMActual = new QComboBox(this);
    cboNCMActual->setObjectName(QStringLiteral("cboNCMActual"));
    cboNCMActual->setEditable(true);
    cboNCMActual->setInsertPolicy(QComboBox::NoInsert);
    cboNCMActual->setGeometry(10, 30, 320, 26);
    (new QLabel(QStringLiteral("Nuevo NCM"), this))->setGeometry(10, 64, 320, 20);
    txtNCMNuevo = new QLineEdit(this);
    txtNCMNuevo->setObjectName(QStringLiteral("txtNCMNuevo"));
    txtNCMNuevo->setGeometry(10, 86, 320, 24);

    cmdReemplazar = new QPushButton(QStringLiteral("Reemplazar"), this);
    cmdReemplazar->setObjectName(QStringLiteral("cmdReemplazar"));
    cmdReemplazar->setGeometry(140, 126, 90, 30);
    cmdReemplazar->setAutoDefault(false);
    cmdReemplazar->setDefault(true);
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(240, 126, 90, 30);
    cmdCancelar->setAutoDefault(false);

    connect(cboNCMActual, &QComboBox::currentTextChanged, this, [this] {
        runHandler(*this, QStringLiteral("cboNCMActual_Click"), [this] { cboNCMActual_Click(); });
    });
    connect(cmdReemplazar, &QPushButton::clicked, this, [this] { cmdReemplazar_Click(); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdCancelar_Click"), [this] { cmdCancelar_Click(); });
    });
    activacion_ = new corvelix::FirstActivation(*this, [this] {
        runHandler(*this, QStringLiteral("Form_Activate"), [this] { Form_Activate(); });
    });
}

void frmCambiarNCM::Form_Activate() {
    m_Resultado = false;
    cargarNCMDespacho();
}

void frmCambiarNCM::cargarNCMDespacho() {
    runHandler(*this, QStringLiteral("cargarNCMDespacho"), [this] {
        const modDA::Recordset rs = modDA::getNCMDespacho(m_Despachos);
        if (rs.eof())
            return;
        cboNCMActual->clear();
        QStringList codigos;
        for (const QVariantList& fila : rs.rows())
            codigos << fila.value(0).toString();
        cboNCMActual->addItems(codigos);
        // Nothing chosen yet: the user picks the code to replace.
        cboNCMActual->setCurrentIndex(-1);
        txtNCMNuevo->clear();
    });
}

void frmCambiarNCM::cboNCMActual_Click() {
    txtNCMNuevo->setText(cboNCMActual->currentText());
}

void frmCambiarNCM::cmdReemplazar_Click() {
    corvelix::GuardOptions opciones;
    opciones.icon = MsgIcon::Exclamation;
    runHandler(
        *this, QStringLiteral("cmdReemplazar_Click"),
        [this] {
            txtNCMNuevo->setText(txtNCMNuevo->text().trimmed().toUpper());
            const QString nuevo = txtNCMNuevo->text();
            if (nuevo.size() != 15) {
                ui().msgBox(QStringLiteral("Debe ingresar un NCM válido"), MsgButtons::Ok,
                            MsgIcon::Exclamation);
                return;
            }
            const int indice = cboNCMActual->currentIndex();
            if (indice < 0 || cboNCMActual->itemText(indice) != cboNCMActual->currentText()) {
                ui().msgBox(QStringLiteral("Debe seleccionar el NCM a reemplazar"), MsgButtons::Ok,
                            MsgIcon::Exclamation);
                return;
            }
            const QString actual = cboNCMActual->currentText();
            if (actual == nuevo) {
                ui().msgBox(QStringLiteral("Los NCM son iguales"), MsgButtons::Ok,
                            MsgIcon::Exclamation);
                return;
            }
            const QString subregimen = m_Despachos.mid(5, 4);
            if ((subregimen.startsWith(QLatin1String("IC")) ||
                 subregimen.startsWith(QLatin1String("IG"))) &&
                actual.left(10) != nuevo.left(10)) {
                if (ui().msgBox(
                        QStringLiteral("Si usted convirtio este provisorio de una SIMI solo "
                                       "debe cambiar los ultimos digitos.\n\nDesea "
                                       "continuar?"),
                        MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
                    return;
            }
            if (ui().msgBox(QStringLiteral("Confirma reemplazar la NCM ") + actual +
                                QStringLiteral(" por ") + nuevo,
                            MsgButtons::YesNo, MsgIcon::Question, QString(),
                            MsgDefault::Second) != MsgResult::Yes)
                return;
            const int filas = modDA::reemplazarNCM(m_Despachos, actual, nuevo);
            ui().msgBox(QStringLiteral("Se reemplazo ") + QString::number(filas) +
                            QStringLiteral(" item(s)"),
                        MsgButtons::Ok, MsgIcon::Information);
            m_Resultado = true;
            accept();
        },
        opciones);
}

void frmCambiarNCM::cmdCancelar_Click() {
    m_Resultado = false;
    reject();
}

void frmCambiarNCM::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        cmdCancelar->click();
        return;
    }
    if (mods == Qt::NoModifier &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        cmdReemplazar->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
