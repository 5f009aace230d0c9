#pragma once

#include "runtime/VbError.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

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

// Base of the list tabs: scope, the guarded handlers and the keys of the tab's controls.
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
    // Runs a user action under the error guard of the window.
    bool correr(const QString& procedimiento, const std::function<void()>& fn,
                corvelix::MsgIcon icon = corvelix::MsgIcon::None);
    // True, after the warning, when the declaration is open in the outside client.
    bool rechazaAbierto();
    void filtrarTeclas(QWidget* control);
    // A key pressed on a filtered control; true when it was taken.
    virtual bool tecla(QObject* control, int key) = 0;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The selected row of a list, or none (a list with rows but none selected counts as none).
    static QTreeWidgetItem* seleccionada(QTreeWidget* lista);
    static QTreeWidget* crearLista(QWidget& pagina, const char* nombre,
                                   const QStringList& columnas);

    QWidget& pagina_;
    ContextoItem contexto_;

private:
    QList<QPointer<QWidget>> filtrados_;
};

// The warning of the open declaration, shared by the tabs and the dialogs.
void avisarProvisorioAbierto(const QString& despacho);
// Lines joined by CR LF, as the confirmations were written.
QString lineas(const QStringList& partes);
// The question before removing `codigo` from every item in ITEM GLOBAL; `que` names the kind
// of row with its article ("la ventaja", "el documento", ...).
QString preguntaEliminarEnItems(const QString& que, const QString& codigo);
