#include "shell/frmSeleccionarITEMs.h"

#include "data/declaration_reads.h"
#include "data/modDA.h"
#include "platform/TextWidths.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>

using corvelix::runHandler;
using corvelix::ui;

namespace {

constexpr int kColumnaNart = 1;

QString conGuiones(const QString& lista) {
    QString texto = lista;
    return texto.replace(QStringLiteral("|#|"), QStringLiteral(" - "));
}

QString importe(const QVariant& valor) {
    return valor.isNull() ? QString()
                          : corvelix::formatNumber(valor.toDouble(), QStringLiteral("00.00"));
}

} // namespace

frmSeleccionarITEMs::frmSeleccionarITEMs(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSeleccionarITEMs"));
    setWindowTitle(QStringLiteral("Seleccionar ITEM's"));
    resize(900, 480);

    lstItem = new QTreeWidget(this);
    lstItem->setObjectName(QStringLiteral("lstItem"));
    lstItem->setGeometry(10, 10, 880, 420);
    lstItem->setColumnCount(10);
    lstItem->setHeaderLabels({QStringLiteral("Item"), QStringLiteral("Item"), QStringLiteral("NCM"),
                              QStringLiteral("Unidad"), QStringLiteral("Cantidad"),
                              QStringLiteral("FOB"), QStringLiteral("Lista"),
                              QStringLiteral("Origen"), QStringLiteral("Ventajas"),
                              QStringLiteral("Info Ad")});
    lstItem->setRootIsDecorated(false);
    lstItem->setUniformRowHeights(true);
    lstItem->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstItem->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstItem->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstItem->header()->setSectionsClickable(true);
    lstItem->installEventFilter(this);

    const auto boton = [this](const char* name, const QString& caption, int x, int w) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 440, w, 28);
        b->setAutoDefault(false);
        b->installEventFilter(this);
        return b;
    };
    cmdTildarSeleccionados =
        boton("cmdTildarSeleccionados", QStringLiteral("Tildar/Destildar seleccionados"), 10, 210);
    cmdSeleccionarDeseleccionar =
        boton("cmdSeleccionarDeseleccionar", QStringLiteral("Invertir Selección"), 230, 150);
    cmdSeleccionar = boton("cmdSeleccionar", QStringLiteral("Aceptar"), 690, 95);
    cmdCancelar = boton("cmdCancelar", QStringLiteral("Cancelar"), 795, 95);

    connect(cmdTildarSeleccionados, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdTildarSeleccionados_Click"),
                   [this] { cmdTildarSeleccionados_Click(); });
    });
    connect(cmdSeleccionarDeseleccionar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdSeleccionarDeseleccionar_Click"),
                   [this] { cmdSeleccionarDeseleccionar_Click(); });
    });
    connect(cmdSeleccionar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdSeleccionar_Click"), [this] { armarSeleccion(); });
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] { reject(); });
    connect(lstItem->header(), &QHeaderView::sectionClicked, this, [this](int columna) {
        runHandler(*this, QStringLiteral("lstItem_ColumnClick"),
                   [this, columna] { lstItem_ColumnClick(columna); });
    });

    new corvelix::FirstActivation(*this, [this] {
        runHandler(*this, QStringLiteral("Form_Activate"), [this] { cargarITEMs(); });
    });
}

void frmSeleccionarITEMs::cargarITEMs() {
    corvelix::chained(QStringLiteral("Corvelix.frmSeleccionarITEMs.cargarITEMs"), [this] {
        lstItem->clear();
        // The work tables behind ventajas and infoad hold one declaration at a time.
        modDA::runProcedure(QStringLiteral("setitemventajas"), {m_Operacion});
        modDA::runProcedure(QStringLiteral("SETITEMINFOAD"), {m_Operacion});
        modDA::runProcedure(QStringLiteral("SETITEMDOCS"), {m_Operacion});
        modDA::Recordset rs = modDA::getITEMs_Solodatos_ByDespacho(m_Operacion);
        QList<QTreeWidgetItem*> filas;
        filas.reserve(rs.recordCount());
        while (!rs.eof()) {
            auto* fila = new QTreeWidgetItem;
            fila->setText(0, rs.text(QStringLiteral("nartext")));
            fila->setText(1, rs.text(QStringLiteral("nart")));
            fila->setText(2, rs.text(QStringLiteral("ncm")));
            fila->setText(3, rs.text(QStringLiteral("unidad_dec")));
            fila->setText(4, importe(rs.field(QStringLiteral("cantidad_dec"))));
            fila->setText(5, importe(rs.field(QStringLiteral("fob"))));
            fila->setText(6, rs.text(QStringLiteral("lista")));
            fila->setText(7, rs.text(QStringLiteral("paisorigen")));
            fila->setText(8, conGuiones(rs.text(QStringLiteral("ventajas"))));
            fila->setText(9, conGuiones(rs.text(QStringLiteral("infoad"))));
            fila->setCheckState(0, Qt::Checked);
            filas << fila;
            rs.moveNext();
        }
        lstItem->addTopLevelItems(filas);
        // Numbers, codes and amounts whole in the list's font.
        corvelix::widenColumnsToTexts(*lstItem, {1, 2, 3, 4, 5, 6, 7});
    });
}

void frmSeleccionarITEMs::cmdTildarSeleccionados_Click() {
    for (QTreeWidgetItem* fila : lstItem->selectedItems())
        fila->setCheckState(0, fila->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void frmSeleccionarITEMs::cmdSeleccionarDeseleccionar_Click() {
    for (int i = 0; i < lstItem->topLevelItemCount(); ++i) {
        QTreeWidgetItem* fila = lstItem->topLevelItem(i);
        fila->setCheckState(0, fila->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

void frmSeleccionarITEMs::lstItem_ColumnClick(int columna) {
    ascendente_ = !ascendente_;
    lstItem->sortItems(columna, ascendente_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void frmSeleccionarITEMs::armarSeleccion() {
    corvelix::chained(QStringLiteral("Corvelix.frmSeleccionarITEMs.armarSeleccion"), [this] {
        QString resultado;
        bool todos = true;
        bool ninguno = true;
        for (int i = 0; i < lstItem->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* fila = lstItem->topLevelItem(i);
            if (fila->checkState(0) == Qt::Checked) {
                ninguno = false;
                if (!resultado.isEmpty())
                    resultado += QLatin1Char(',');
                resultado += QLatin1Char('\'') + fila->text(kColumnaNart) + QLatin1Char('\'');
            } else {
                todos = false;
            }
        }
        if (ninguno) {
            ui().msgBox(QStringLiteral("Tiene que seleccionar algun item."),
                        corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
            return;
        }
        m_Resultado = todos ? QStringLiteral("TODO") : resultado;
        accept();
    });
}

bool frmSeleccionarITEMs::eventFilter(QObject* watched, QEvent* event) {
    // The form sees Esc before its controls.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmSeleccionarITEMs::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}
