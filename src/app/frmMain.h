#pragma once

#include "runtime/FormKit.h"

#include <QString>
#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QKeyEvent;
class QTreeWidget;
class QTreeWidgetItem;

// The program's main window: the searchable list of declarations. Each window loads its list at
// its first activation; the instance test and the store check run once per process.
class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // A new main window, shown through the seam and unloaded (deleted) when it closes: the
    // program's start, and the opener that forms handing control back use.
    static void abrirNueva();

    void Form_Load();
    // Start-up work, while it has not succeeded yet for this window.
    void Form_Activate();
    void Form_Resize();
    void cargarGrilla(const QString& filtro);
    void cmdBuscar_Click();
    // Opens the item view of the selected declaration, after the window watch.
    void cargarItemsView();
    // The SIMI processing menu of the selected declaration, in place of this window.
    void cargarOperacion();
    // Cancellations for every item of `operacion` against a destination declaration.
    void prorratearIDA4(const QString& operacion);
    void limipiarSIMI();
    // Ctrl+Alt+R: the connection profile reset, behind its password.
    void Form_KeyDown(const QKeyEvent& event);

    // Set once the start-up work succeeded; outlives the window.
    static bool firstActivationDone() { return s_activado; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void crearControles();
    void crearMenus();
    void primeraActivacion();
    void conectarVistaItems();
    void conectarOperaciones();
    // The selected row, or the first one; null when the list is empty.
    QTreeWidgetItem* filaSeleccionada() const;

    QPushButton* cmdExportarProvisorio;
    QPushButton* cmdBultos;
    QPushButton* cmdRatificacion;
    QPushButton* cmdMasOpciones;
    QPushButton* cmdConvertRET_2_TXT;
    QCheckBox* chkMostrarSIMI;
    QTreeWidget* lstDespachos;
    QPushButton* cmdBuscar;
    QLineEdit* txtDespacho;
    QLabel* imgLogo;
    QLabel* lbTitulo;
    QFrame* Shape;
    QMenu* mnuArchivo;
    QMenu* mnuActualizacion;

    static corvelix::ProcessStatic<bool> s_activado;
    // This window's list loaded (a window opened again after the SIMI menu loads its own).
    bool cargada_ = false;
    corvelix::FirstActivation* activacion_ = nullptr;
};
