#pragma once

#include <QDialog>

class QKeyEvent;

// Panel of the services of the maker's other product; each button opens its web site.
// Nothing is passed in or read back.
class frmmasOpciones : public QDialog {
    Q_OBJECT

public:
    explicit frmmasOpciones(QWidget* parent = nullptr);

    // The root of the other product's web site.
    static QString sitioWeb();

    // Any of the seven buttons.
    void abrirSitio();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
