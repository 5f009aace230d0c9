#include "assembly/frmSufijos.h"

#include "assembly/frmSufijoValor.h"
#include "platform/FlexGrid.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QKeyEvent>
#include <QPushButton>

using corvelix::FlexAlign;
using corvelix::FlexGrid;
using corvelix::runHandler;
using corvelix::ui;

frmSufijos::frmSufijos(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSufijos"));
    setWindowTitle(QStringLiteral("Sufijos"));
    setFixedSize(480, 330);

    grdSufijos = new FlexGrid(this);
    grdSufijos->setObjectName(QStringLiteral("grdSufijos"));
    grdSufijos->setGeometry(10, 10, 460, 260);
    grdSufijos->setCols(2);
    grdSufijos->setRows(1);
    grdSufijos->setFixedCols(0);
    grdSufijos->setSelectionByRow(true);

    cmdGuardar = new QPushButton(QStringLiteral("Guardar [F11]"), this);
    cmdGuardar->setObjectName(QStringLiteral("cmdGuardar"));
    cmdGuardar->setGeometry(270, 285, 100, 30);
    cmdGuardar->setAutoDefault(false);
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(375, 285, 95, 30);
    cmdCancelar->setAutoDefault(false);

    connect(cmdGuardar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdGuardar_Click"), [this] { reArmarSufijos(); });
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdCancelar_Click"), [this] { cmdCancelar_Click(); });
    });
    connect(grdSufijos, &FlexGrid::keyDown, this, [this](QKeyEvent* event) {
        const auto mods = event->modifiers() & ~Qt::KeypadModifier;
        if (mods != Qt::NoModifier)
            return;
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            runHandler(*this, QStringLiteral("grdSufijos_KeyPress"), [this] { modificarSufijo(); });
        }
    });
    activacion_ = new corvelix::FirstActivation(*this, [this] {
        runHandler(*this, QStringLiteral("Form_Activate"), [this] { Form_Activate(); });
    });
}

void frmSufijos::Form_Activate() {
    // Runs once per showing (the activation helper sees to it).
    cargarDatos();
    recorriendo_ = true;
    procesoModificarSufijos();
}

void frmSufijos::cargarDatos() {
    corvelix::chained(QStringLiteral("Corvelix.frmSufijos.cargarDatos"), [&] {
        grdSufijos->setRows(1);
        sufijos_.clear();
        if (m_Sufijos.trimmed().isEmpty())
            return;
        // A last entry stored without its closing "-" is listed too, so saving keeps it.
        sufijos_ = utiles::sufijosReales(m_Sufijos);
        grdSufijos->setColAlignment(0, FlexAlign::CenterCenter);
        grdSufijos->setColAlignment(1, FlexAlign::RightCenter);
        grdSufijos->setColWidth(0, 1000);
        grdSufijos->setColWidth(1, 5500);
        std::vector<QStringList> filas;
        filas.reserve(sufijos_.size());
        for (const auto& s : sufijos_)
            filas.push_back({s.Sufijo, s.Valor});
        grdSufijos->appendRows(filas);
        if (grdSufijos->rows() > 1)
            grdSufijos->setCurrentCell(1, 0);
    });
}

void frmSufijos::modificarSufijo() {
    corvelix::chained(QStringLiteral("Corvelix.frmSufijos.modificarSufijo"), [&] {
        const int fila = grdSufijos->row();
        if (fila < 1 || fila >= grdSufijos->rows())
            return;
        const QString codigo = grdSufijos->textMatrix(fila, 0);
        if (codigo.trimmed().size() != 2)
            return;
        frmSufijoValor valor(this);
        valor.m_Sufijo = codigo;
        valor.m_SufijoValor = grdSufijos->textMatrix(fila, 1);
        valor.m_Resulado.clear();
        ui().exec(valor);
        if (!valor.m_Resulado.isEmpty())
            grdSufijos->setTextMatrix(fila, 1, valor.m_Resulado);
    });
}

void frmSufijos::procesoModificarSufijos() {
    runHandler(*this, QStringLiteral("procesoModificarSufijos"), [this] {
        while (recorriendo_) {
            const int fila = grdSufijos->row();
            if (fila >= 1 && fila < grdSufijos->rows())
                modificarSufijo();
            if (fila >= 1 && fila < grdSufijos->rows() - 1)
                grdSufijos->setCurrentCell(fila + 1, 0);
            else
                recorriendo_ = false;
        }
        cmdGuardar->setFocus();
    });
}

void frmSufijos::reArmarSufijos() {
    corvelix::chained(QStringLiteral("Corvelix.frmSufijos.reArmarSufijos"), [&] {
        QList<QPair<QString, QString>> pares;
        for (int fila = 0; fila < grdSufijos->rows(); ++fila)
            pares.append({grdSufijos->textMatrix(fila, 0), grdSufijos->textMatrix(fila, 1)});
        m_Sufijos = utiles::armarSufijos(pares);
        accept();
    });
}

void frmSufijos::cmdCancelar_Click() {
    reject();
}

void frmSufijos::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier && event->key() == Qt::Key_F11) {
        runHandler(*this, QStringLiteral("cmdGuardar_Click"), [this] { reArmarSufijos(); });
        return;
    }
    if (mods == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        cmdCancelar_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}
