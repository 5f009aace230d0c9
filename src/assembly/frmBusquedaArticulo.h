#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvelix {
class FirstActivation;
}

// Asks for the text the articles view looks for in the suffix strings. Read mBusqueda after
// the modal showing: the trimmed text (3 characters or more), or "" when cancelled or closed.
class frmBusquedaArticulo : public QDialog {
    Q_OBJECT

public:
    explicit frmBusquedaArticulo(QWidget* parent = nullptr);

    QString mBusqueda;

    void Form_Activate();
    void txtArticulo_Change();
    void cmdBuscar_Click();
    void cmdCancelar_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* lbTexto;
    QLineEdit* txtArticulo;
    QPushButton* cmdBuscar;
    QPushButton* cmdCancelar;
    corvelix::FirstActivation* activacion_;
};
