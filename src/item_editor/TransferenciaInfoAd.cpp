#include "item_editor/TransferenciaInfoAd.h"

#include "runtime/FormKit.h"
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

TransferenciaInfoAd::TransferenciaInfoAd(QWidget* parent, const QString& nombre,
                                         const QString& titulo, const QString& encabezado)
    : QDialog(parent), grid_(new QGridLayout(this)) {
    setObjectName(nombre);
    setWindowTitle(titulo);
    grid_->addWidget(new QLabel(encabezado, this), 0, 0, 1, 3);
    lbDespacho = new QLabel(this);
    lbDespacho->setObjectName(QStringLiteral("lbDespacho"));
    grid_->addWidget(lbDespacho, 1, 0, 1, 3);
    new corvelix::FirstActivation(*this, [this] {
        lbDespacho->setText(m_Despacho);
        alAbrir();
    });
}

QLineEdit* TransferenciaInfoAd::agregarCampo(const QString& rotulo, const char* nombre,
                                             const QString& texto, bool mayusculas) {
    auto* caja = new QLineEdit(texto, this);
    caja->setObjectName(QLatin1String(nombre));
    const int fila = grid_->rowCount();
    grid_->addWidget(new QLabel(rotulo, this), fila, 0);
    grid_->addWidget(caja, fila, 1);
    if (mayusculas) {
        mayusculas_ = caja;
        caja->installEventFilter(this);
    }
    return caja;
}

void TransferenciaInfoAd::completar() {
    txtInfoAdicional = new QLineEdit(this);
    txtInfoAdicional->setObjectName(QStringLiteral("txtInfoAdicional"));
    cmdInfoAdic = corvelix::plainButton(this, "cmdInfoAdic", QStringLiteral("..."));
    const int fila = grid_->rowCount();
    grid_->addWidget(new QLabel(QStringLiteral("Información Adicional"), this), fila, 0);
    grid_->addWidget(txtInfoAdicional, fila, 1);
    grid_->addWidget(cmdInfoAdic, fila, 2);
    lbItem = new QLabel(this);
    lbItem->setObjectName(QStringLiteral("lbItem"));
    grid_->addWidget(lbItem, fila + 1, 0, 1, 3);
    cmdProcesar = corvelix::plainButton(this, "cmdProcesar", QStringLiteral("Procesar"));
    cmdCancelar = corvelix::plainButton(this, "cmdCancelar", QStringLiteral("Cancelar"));
    grid_->addWidget(cmdProcesar, fila + 2, 1);
    grid_->addWidget(cmdCancelar, fila + 2, 2);

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
}

bool TransferenciaInfoAd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mayusculas_ && event->type() == QEvent::FocusOut)
        mayusculas_->setText(mayusculas_->text().toUpper());
    if (watched == txtInfoAdicional && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        txtInfoAdicional->clear();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TransferenciaInfoAd::bucarInfoAdicional() {
    const QString codigo = frmListado::elegir(3);
    txtInfoAdicional->setFocus();
    if (!codigo.isEmpty())
        txtInfoAdicional->setText(codigo);
}

void TransferenciaInfoAd::habilitar(bool si) {
    cmdCancelar->setEnabled(si);
    cmdInfoAdic->setEnabled(si);
    cmdProcesar->setEnabled(si);
}

void TransferenciaInfoAd::cmdProcesar_Click() {
    ui().setBusy(true);
    habilitar(false);
    corvelix::runHandler(*this, QStringLiteral("cmdProcesar_Click"), [this] { procesar(); },
                         {MsgIcon::Exclamation, {}, {}});
    ui().setBusy(false);
    habilitar(true);
}

void TransferenciaInfoAd::cmdCancelar_Click() {
    reject();
}

bool TransferenciaInfoAd::leerDestino(QString& codigo, QString& items) {
    codigo = txtInfoAdicional->text().trimmed();
    if (codigo.isEmpty()) {
        avisar(QStringLiteral("Debe seleccionar una información adicional"));
        return false;
    }
    items = utiles::getSeleccionarITEMS(m_Despacho);
    if (items.isEmpty()) {
        avisar(QStringLiteral("Debe seleccionar como minimo un item"));
        return false;
    }
    return true;
}

void TransferenciaInfoAd::mostrarProcesado(const QString& item) {
    if (!item.isEmpty())
        lbItem->setText(QStringLiteral("procesando item ") + item + QStringLiteral(" ...."));
    ui().processEvents();
}

void TransferenciaInfoAd::avisar(const QString& texto) {
    ui().msgBox(texto, MsgButtons::Ok, MsgIcon::Exclamation);
}
