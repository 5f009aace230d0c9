#pragma once

#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace modDA {
class Recordset;
}

// What a list tab of the item editor reads of its window. The window fills it; tests may use
// a bare host widget named "frmItemDetalle".
struct ContextoItem {
    // The editor window: its objectName names the location of every error of the tab.
    QWidget* ventana = nullptr;
    std::function<QString()> operacion;
    std::function<QString()> item;
    // Text of the origin box (txtPaisOrigen), for the export-document item's mask.
    std::function<QString()> paisOrigen;
    // The liquidation tab's check after the advantages change.
    std::function<void()> validaLiquidacion;
    // The whole ITEM GLOBAL view again.
    std::function<void()> cargaDataItem_Zero;
};

// Base of the list tabs: scope, the guarded handlers, the layout of a tab (boxes above a list)
// and the keys of the tab's controls.
class PestanaItem : public QObject {
    Q_OBJECT

public:
    PestanaItem(QWidget& pagina, ContextoItem contexto);

    [[nodiscard]] QString operacion() const;
    [[nodiscard]] QString item() const;
    // The tab operations' scope: ITEM GLOBAL when the item is "0000".
    [[nodiscard]] bool itemGlobal() const { return item() == QLatin1String("0000"); }

    // Puts the tab's key handling in front of whatever the window attached to its controls
    // since (the input-control objects take Enter for themselves).
    void reinstalarFiltros();

protected:
    // A row of the tab's grid: its caption, then its controls side by side.
    struct Fila {
        QString rotulo;
        QList<QWidget*> controles;
    };

    QLineEdit* crearCaja(const char* nombre);
    QTreeWidget* crearLista(const char* nombre, const QStringList& columnas);
    QPushButton* crearBoton(const char* nombre, const QString& texto);
    // The page's grid: the rows (the last control of a row takes the rest of it), the list
    // across the page below them, and `boton` under the list's right end.
    void disponer(const QList<Fila>& filas, QTreeWidget* lista, QPushButton* boton = nullptr);

    // `teclas` on `control` run `accion(key)` under the guard as `procedimiento` and go no
    // further; other keys pass.
    void alTeclear(QWidget* control, const QList<int>& teclas, const QString& procedimiento,
                   std::function<void(int key)> accion);
    // Enter on `caja`: unless the declaration is open outside, `alItem` or, in ITEM GLOBAL,
    // `aLosItems`.
    void agregarConEnter(QWidget* caja, const QString& procedimiento, std::function<void()> alItem,
                         std::function<void()> aLosItems);
    // Delete on `lista`: `delItem` or, in ITEM GLOBAL, `deLosItems` (when there is one).
    void eliminarConSupr(QWidget* lista, const QString& procedimiento,
                         std::function<void()> delItem, std::function<void()> deLosItems = {});

    // Runs a user action under the error guard of the window.
    bool correr(const QString& procedimiento, const std::function<void()>& fn,
                corvelix::MsgIcon icon = corvelix::MsgIcon::None);
    // True, after the warning, when the declaration is open in the outside client.
    bool rechazaAbierto();
    // The items picked for the declaration; "" after the warning when none was.
    QString itemsElegidos();
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The list again: a row a record, a column a field.
    static void llenar(QTreeWidget* lista, modDA::Recordset rs, const QList<const char*>& campos);
    // The selected row of a list, or none (a list with rows but none selected counts as none).
    static QTreeWidgetItem* seleccionada(QTreeWidget* lista);
    // The selected row of `lista`, once the user confirms `pregunta` followed by its code (the
    // first column); none otherwise.
    static QTreeWidgetItem* filaConfirmada(QTreeWidget* lista, const QString& pregunta);
    // In ITEM GLOBAL, the code of the selected row of `lista` once the user confirms removing
    // it from every item (`que` as in preguntaEliminarEnItems); "" otherwise.
    QString codigoAEliminarEnItems(QTreeWidget* lista, const QString& que);
    // Runs `escribir`; when it fails, `recargar` shows what the catalog holds before the
    // failure goes on.
    static void recargarSiFalla(const std::function<void()>& escribir,
                                const std::function<void()>& recargar);
    // The question before writing a value to the picked items: [SI] `si`, [NO] `no`, Cancel
    // the default.
    static corvelix::MsgResult preguntarEnItems(const QString& pregunta, const QString& si,
                                                const QString& no);
    // The same for the value of `codigo`: [SI] overwrites the items' values, [NO] only fills
    // the items without one.
    static corvelix::MsgResult preguntarValorEnItems(const QString& pregunta,
                                                     const QString& codigo);
    static void finDelProceso();

    QWidget& pagina_;
    ContextoItem contexto_;

private:
    struct Tecla {
        QWidget* control;
        QList<int> teclas;
        QString procedimiento;
        std::function<void(int)> accion;
    };

    QList<QPointer<QWidget>> filtrados_;
    QList<Tecla> teclas_;
};

// The warning of the open declaration, shared by the tabs and the dialogs.
void avisarProvisorioAbierto(const QString& despacho);
// Lines joined by CR LF, as the confirmations were written.
QString lineas(const QStringList& partes);
// The question before removing `codigo` from every item in ITEM GLOBAL; `que` names the kind
// of row with its article ("la ventaja", "el documento", ...).
QString preguntaEliminarEnItems(const QString& que, const QString& codigo);
