#include "item_editor/PestanaItem.h"

#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "shell/ModMaria.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>

PestanaItem::PestanaItem(QWidget& pagina, ContextoItem contexto)
    : QObject(&pagina), pagina_(pagina), contexto_(std::move(contexto)) {}

QString PestanaItem::operacion() const {
    return contexto_.operacion ? contexto_.operacion() : QString();
}

QString PestanaItem::item() const {
    return contexto_.item ? contexto_.item() : QString();
}

void PestanaItem::reinstalarFiltros() {
    for (const QPointer<QWidget>& control : filtrados_)
        if (control)
            control->installEventFilter(this);
}

bool PestanaItem::correr(const QString& procedimiento, const std::function<void()>& fn,
                         corvelix::MsgIcon icon) {
    corvelix::GuardOptions options;
    options.icon = icon;
    QObject& ventana = contexto_.ventana ? static_cast<QObject&>(*contexto_.ventana)
                                         : static_cast<QObject&>(pagina_);
    return corvelix::runHandler(ventana, procedimiento, fn, options);
}

void avisarProvisorioAbierto(const QString& despacho) {
    corvelix::ui().msgBox(QStringLiteral("El provisorio ") + despacho +
                              QStringLiteral(" esta abierto en el KIT, debe Terminar Tratamiento "
                                             "para poder continuar"),
                          corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
}

QString lineas(const QStringList& partes) {
    return partes.join(QStringLiteral("\r\n"));
}

QString preguntaEliminarEnItems(const QString& que, const QString& codigo) {
    return lineas({QStringLiteral("¿Confirma eliminar ") + que + QLatin1Char(' ') + codigo +
                       QStringLiteral(" en los items?"),
                   QString(), QStringLiteral("Advertencia: Estas eliminando desde ITEM GLOBAL"),
                   QStringLiteral("Seleccionando [SI] se eliminará ") + codigo +
                       QStringLiteral(" en los items del despacho.")});
}

bool PestanaItem::rechazaAbierto() {
    if (!ModMaria::ProvisorioAbierto(operacion()))
        return false;
    avisarProvisorioAbierto(operacion());
    return true;
}

void PestanaItem::filtrarTeclas(QWidget* control) {
    filtrados_ << control;
    control->installEventFilter(this);
}

bool PestanaItem::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (tecla(watched, key))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

QTreeWidgetItem* PestanaItem::seleccionada(QTreeWidget* lista) {
    QTreeWidgetItem* fila = lista->currentItem();
    if (fila == nullptr || !fila->isSelected())
        return nullptr;
    return fila;
}

QTreeWidget* PestanaItem::crearLista(QWidget& pagina, const char* nombre,
                                     const QStringList& columnas) {
    auto* lista = new QTreeWidget(&pagina);
    lista->setObjectName(QLatin1String(nombre));
    lista->setRootIsDecorated(false);
    lista->setHeaderLabels(columnas);
    lista->setSelectionMode(QAbstractItemView::SingleSelection);
    lista->setAllColumnsShowFocus(true);
    return lista;
}
