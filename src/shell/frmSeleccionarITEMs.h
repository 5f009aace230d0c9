#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTreeWidget;

// The item picker of one declaration: every item starts checked. Set m_Operacion, show it
// modally, then read m_Resultado: "" (cancelled), "TODO" (every item checked) or the checked
// item numbers, each in single quotes, joined by "," in the order the rows stand.
class frmSeleccionarITEMs : public QDialog {
    Q_OBJECT

public:
    explicit frmSeleccionarITEMs(QWidget* parent = nullptr);

    QString m_Operacion;
    QString m_Resultado;

    void cargarITEMs();
    void armarSeleccion();
    void cmdTildarSeleccionados_Click();
    void cmdSeleccionarDeseleccionar_Click();
    void lstItem_ColumnClick(int columna);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTreeWidget* lstItem;
    QPushButton* cmdTildarSeleccionados;
    QPushButton* cmdSeleccionarDeseleccionar;
    QPushButton* cmdSeleccionar;
    QPushButton* cmdCancelar;
    bool ascendente_ = true;
};
