#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLabel;
class QPushButton;
class QTreeWidget;
class QWidget;
class frmCancelaciones;
class frmItemDetalle;

// The "Cancelaciones" page of the item editor: the cancellation lines of the item open in the
// editor, added and modified through frmCancelaciones, deleted after a question. `form` is the
// editor window (its name locates the errors shown); `operacion` and `item` are its members,
// read at every action.
class CancelacionesTab : public QObject {
    Q_OBJECT

public:
    CancelacionesTab(QWidget& form, QWidget& page, const QString& operacion,
                     const QString& item);
    ~CancelacionesTab() override;

    // The item's lines; failures go to the caller.
    void cargarCancelacionesMain();
    void cargarCancelaciones(const QString& despacho, const QString& item);

    void cancelacionAgregar();
    void cancelacionesEliminar();
    void cancelacionesModificar();

    [[nodiscard]] QTreeWidget* lista() const { return lstCancelaciones; }
    [[nodiscard]] frmCancelaciones& dialogo() const { return *dialogo_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Linea {
        QString despacho;
        int item = 0;
        int subitem = 0;
        int fila = -1;
    };
    [[nodiscard]] bool lineaSeleccionada(Linea& linea) const;
    void recargar();

    QWidget& form_;
    const QString& operacion_;
    const QString& item_;
    QTreeWidget* lstCancelaciones;
    QPushButton* cmdCancelacionesAgregar;
    QPushButton* cmdCancelacionesEliminar;
    QLabel* lbModificar;
    // A window of its own, not one of the editor's controls (the editor's lock of its buttons
    // while the declaration is open elsewhere does not reach it).
    std::unique_ptr<frmCancelaciones> dialogo_;
};

// Builds the page on the editor's "Cancelaciones" tab and loads it with the item.
void instalarCancelaciones(frmItemDetalle& form);
