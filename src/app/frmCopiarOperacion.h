#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// Copies the origin declaration into one chosen from the list. Set m_Operacion_Origen and
// show it modally; it stays open after a copy, for further destinations.
class frmCopiarOperacion : public QDialog {
    Q_OBJECT

public:
    explicit frmCopiarOperacion(QWidget* parent = nullptr);

    QString m_Operacion_Origen;

    void cargarGrilla(const QString& filtro);
    void Copiar();
    void resetSIMI(const QString& operacion);
    void cmdCancelar_Click();

private:
    void Form_Activate();

    QLabel* lbdesde;
    QLineEdit* txtDesde;
    QLabel* lbDestino;
    QTreeWidget* lstDestino;
    QCheckBox* chkInfoAd;
    QCheckBox* chkDocumentos;
    QPushButton* cmdCopiar;
    QPushButton* cmdCancelar;
};
