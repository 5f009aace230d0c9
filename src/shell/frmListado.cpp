#include "shell/frmListado.h"

#include "data/modDA.h"
#include "runtime/Twips.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

using corvelix::runHandler;
using corvelix::ui;
using corvelix::VbError;

corvelix::ProcessStatic<QString> frmListado::m_ValorDefecto{QString()};

frmListado::frmListado(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmListado"));
    setWindowTitle(QStringLiteral("Listado"));
    setFixedSize(560, 420);

    txtTexto = new QLineEdit(this);
    txtTexto->setObjectName(QStringLiteral("txtTexto"));
    txtTexto->setGeometry(10, 10, 300, 24);

    cmdFiltro = new QPushButton(this);
    cmdFiltro->setObjectName(QStringLiteral("cmdFiltro"));
    cmdFiltro->setGeometry(316, 8, 32, 28);
    cmdFiltro->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    cmdFiltro->setAutoDefault(false);

    lbFiltrar = new QLabel(QStringLiteral("<- Click para filtrar"), this);
    lbFiltrar->setObjectName(QStringLiteral("lbFiltrar"));
    lbFiltrar->setGeometry(356, 12, 190, 20);

    lstDatos = new QTreeWidget(this);
    lstDatos->setObjectName(QStringLiteral("lstDatos"));
    lstDatos->setGeometry(10, 44, 540, 366);
    lstDatos->setColumnCount(2);
    lstDatos->setHeaderLabels({QStringLiteral("Clave"), QStringLiteral("Valor")});
    lstDatos->setRootIsDecorated(false);
    lstDatos->setUniformRowHeights(true);
    lstDatos->setSelectionMode(QAbstractItemView::SingleSelection);
    lstDatos->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstDatos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstDatos->header()->setSectionsClickable(true);
    lstDatos->header()->setStretchLastSection(false);

    // The form sees the keys of its controls first.
    for (QWidget* control : {static_cast<QWidget*>(txtTexto), static_cast<QWidget*>(cmdFiltro),
                             static_cast<QWidget*>(lstDatos)})
        control->installEventFilter(this);

    connect(txtTexto, &QLineEdit::textChanged, this, [this] { txtTexto_Change(); });
    connect(cmdFiltro, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdFiltro_Click"), [this] { cmdFiltro_Click(); });
    });
    connect(lstDatos->header(), &QHeaderView::sectionClicked, this, [this](int columna) {
        runHandler(*this, QStringLiteral("lstDatos_ColumnClick"),
                   [this, columna] { lstDatos_ColumnClick(columna); });
    });

    activacion_ = new corvelix::FirstActivation(*this, [this] {
        runHandler(*this, QStringLiteral("Form_Activate"), [this] { Form_Activate(); });
    });
}

QString frmListado::elegir(int tabla) {
    frmListado frm;
    frm.m_Tabla = tabla;
    ui().exec(frm);
    return frm.m_Salida;
}

modDA::CodeListQuery frmListado::getSQLbyTabla(int p_Tabla, const QString& p_Filtro) const {
    return corvelix::chained(QStringLiteral("Corvelix.frmListado.getSQLbyTabla"),
                             [&] { return modDA::codeListQuery(p_Tabla, p_Filtro); });
}

void frmListado::Form_Activate() {
    cargarListado(QString());
    m_Salida.clear();
}

void frmListado::cargarListado(const QString& filtro) {
    int line = 0;
    corvelix::GuardOptions options;
    options.compose = [&line](const VbError& error) {
        return error.description + QStringLiteral("\n\nCorvelix.frmListado.cargarListado.::") +
               error.source + QStringLiteral(" linea ") + QString::number(line);
    };
    corvelix::guardEvent(
        {},
        [&] {
            line = 10;
            QString texto = filtro;
            texto.replace(QLatin1Char('\''), QLatin1Char(' '));
            line = 20;
            lstDatos->clear();
            line = 40;
            const modDA::CodeListQuery query = getSQLbyTabla(m_Tabla, texto);
            line = 50;
            modDA::Recordset rs = modDA::getRs(query.tipo, query.sql, query.params);
            line = 60;
            QList<QTreeWidgetItem*> filas;
            filas.reserve(rs.recordCount());
            while (!rs.eof()) {
                line = 70;
                auto* fila = new QTreeWidgetItem;
                fila->setText(0, rs.text(QStringLiteral("id")));
                line = 80;
                fila->setText(1, rs.text(m_Tabla > 49 ? QStringLiteral("valor")
                                                      : QStringLiteral("descripcion")));
                filas << fila;
                line = 90;
                rs.moveNext();
            }
            lstDatos->addTopLevelItems(filas);
            line = 200;
            ascendente_ = true;
            lstDatos->sortItems(0, Qt::AscendingOrder);
            line = 210;
            lstDatos->setColumnWidth(0, corvelix::twipsToPixels(2400));
            lstDatos->setColumnWidth(1, corvelix::twipsToPixels(5600));
            line = 220;
            if (lstDatos->topLevelItemCount() > 0) {
                line = 230;
                lstDatos->setCurrentItem(lstDatos->topLevelItem(0));
            }
        },
        options);
}

void frmListado::txtTexto_Change() {
    // A search that fails changes nothing.
    const QString texto = txtTexto->text();
    for (int i = 0; i < lstDatos->topLevelItemCount(); ++i) {
        QTreeWidgetItem* fila = lstDatos->topLevelItem(i);
        if (fila->text(0).startsWith(texto, Qt::CaseInsensitive)) {
            lstDatos->scrollToItem(fila);
            lstDatos->setCurrentItem(fila);
            return;
        }
    }
}

void frmListado::cmdFiltro_Click() {
    if (txtTexto->text().trimmed().isEmpty()) {
        ui().msgBox(QStringLiteral("Debes ingresar algo de texto para buscar!"),
                    corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
        return;
    }
    cargarListado(txtTexto->text());
}

void frmListado::lf_MoverAbajo() {
    mover(1, QStringLiteral("Corvelix.frmListado.lf_MoverAbajo"));
}

void frmListado::lf_MoverArriba() {
    mover(-1, QStringLiteral("Corvelix.frmListado.lf_moverArriba"));
}

void frmListado::mover(int paso, const QString& seccion) {
    corvelix::GuardOptions options;
    options.icon = corvelix::MsgIcon::Critical;
    options.compose = [&seccion](const VbError& error) {
        return QString::number(error.number) + QStringLiteral(" - ") + error.description +
               QStringLiteral("\nSeccion [") + seccion + QStringLiteral("]");
    };
    corvelix::guardEvent(
        {},
        [&] {
            const int filas = lstDatos->topLevelItemCount();
            QTreeWidgetItem* actual = lstDatos->currentItem();
            if (filas == 0 || actual == nullptr)
                return;
            const int destino = lstDatos->indexOfTopLevelItem(actual) + paso;
            if (destino >= 0 && destino < filas)
                lstDatos->setCurrentItem(lstDatos->topLevelItem(destino));
            lstDatos->scrollToItem(lstDatos->currentItem());
        },
        options);
}

void frmListado::lstDatos_Enter() {
    QTreeWidgetItem* fila = lstDatos->currentItem();
    if (lstDatos->topLevelItemCount() == 0 || fila == nullptr || !fila->isSelected())
        return;
    m_Salida = fila->text(0);
    if (m_Tabla >= 49)
        m_ValorDefecto = fila->text(1);
    accept();
}

void frmListado::lstDatos_ColumnClick(int columna) {
    ascendente_ = !ascendente_;
    lstDatos->sortItems(columna, ascendente_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void frmListado::salir() {
    m_Salida.clear();
    reject();
}

bool frmListado::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        salir();
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == txtTexto) {
        if (key->key() == Qt::Key_Down) {
            lf_MoverAbajo();
            return true;
        }
        if (key->key() == Qt::Key_Up) {
            lf_MoverArriba();
            return true;
        }
    }
    if (enter && (watched == txtTexto || watched == lstDatos)) {
        runHandler(*this, QStringLiteral("lstDatos_KeyPress"), [this] { lstDatos_Enter(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmListado::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        salir();
        return;
    }
    QDialog::keyPressEvent(event);
}
