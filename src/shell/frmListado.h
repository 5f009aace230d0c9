#pragma once

#include "data/lookup_lists.h"
#include "runtime/FormKit.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The code picker: one code list in two columns, narrowed by typing. Set m_Tabla, show it
// modally, then read m_Salida ("" when nothing was accepted) and, for list 50, m_ValorDefecto.
class frmListado : public QDialog {
    Q_OBJECT

public:
    explicit frmListado(QWidget* parent = nullptr);
    // Shows list `tabla` modally: the accepted code, "" when none.
    static QString elegir(int tabla);

    int m_Tabla = 0;
    QString m_Salida;
    // The VALOR of the last accepted INFOADICIONAL row; kept across showings.
    static corvelix::ProcessStatic<QString> m_ValorDefecto;

    modDA::CodeListQuery getSQLbyTabla(int p_Tabla, const QString& p_Filtro) const;
    void cargarListado(const QString& filtro);
    void lf_MoverArriba();
    void lf_MoverAbajo();

    void Form_Activate();
    void txtTexto_Change();
    void cmdFiltro_Click();
    // Enter in the list (or in the search text): accepts the selected row.
    void lstDatos_Enter();
    void lstDatos_ColumnClick(int columna);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void mover(int paso, const QString& seccion);
    void salir();

    QLineEdit* txtTexto;
    QPushButton* cmdFiltro;
    QLabel* lbFiltrar;
    QTreeWidget* lstDatos;
    corvelix::FirstActivation* activacion_;
    bool ascendente_ = true;
};
