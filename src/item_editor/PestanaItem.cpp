#include "item_editor/PestanaItem.h"

#include "data/Recordset.h"
#include "platform/TextWidths.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "shell/ModMaria.h"
#include "shell/utiles.h"

#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;

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

QString PestanaItem::itemsElegidos() {
    const QString items = utiles::getSeleccionarITEMS(operacion());
    if (items.isEmpty())
        ui().msgBox(QStringLiteral("Debe seleccionar como minimo un item"), MsgButtons::Ok,
                    MsgIcon::Exclamation);
    return items;
}

QLineEdit* PestanaItem::crearCaja(const char* nombre) {
    auto* caja = new QLineEdit(&pagina_);
    caja->setObjectName(QLatin1String(nombre));
    return caja;
}

QTreeWidget* PestanaItem::crearLista(const char* nombre, const QStringList& columnas) {
    auto* lista = new QTreeWidget(&pagina_);
    lista->setObjectName(QLatin1String(nombre));
    lista->setRootIsDecorated(false);
    lista->setHeaderLabels(columnas);
    lista->setSelectionMode(QAbstractItemView::SingleSelection);
    lista->setAllColumnsShowFocus(true);
    return lista;
}

QPushButton* PestanaItem::crearBoton(const char* nombre, const QString& texto) {
    return corvelix::plainButton(&pagina_, nombre, texto);
}

void PestanaItem::disponer(const QList<Fila>& filas, QTreeWidget* lista, QPushButton* boton) {
    qsizetype columnas = 1;
    for (const Fila& fila : filas)
        columnas = std::max(columnas, 1 + fila.controles.size());
    auto* grid = new QGridLayout;
    int r = 0;
    for (const Fila& fila : filas) {
        grid->addWidget(new QLabel(fila.rotulo, &pagina_), r, 0);
        for (int c = 1; c <= fila.controles.size(); ++c) {
            const int ancho = c == fila.controles.size() ? int(columnas) - c : 1;
            grid->addWidget(fila.controles.at(c - 1), r, c, 1, ancho);
        }
        ++r;
    }
    grid->addWidget(lista, r, 0, 1, int(columnas));
    if (boton != nullptr)
        grid->addWidget(boton, r + 1, int(columnas) - 1);
    pagina_.setLayout(grid);
}

void PestanaItem::alTeclear(QWidget* control, const QList<int>& teclas,
                            const QString& procedimiento, std::function<void(int)> accion) {
    if (!filtrados_.contains(control)) {
        filtrados_ << control;
        control->installEventFilter(this);
    }
    teclas_.append({control, teclas, procedimiento, std::move(accion)});
}

void PestanaItem::agregarConEnter(QWidget* caja, const QString& procedimiento,
                                  std::function<void()> alItem, std::function<void()> aLosItems) {
    alTeclear(caja, {Qt::Key_Return, Qt::Key_Enter}, procedimiento,
              [this, alItem = std::move(alItem), aLosItems = std::move(aLosItems)](int) {
                  if (rechazaAbierto())
                      return;
                  if (!itemGlobal())
                      alItem();
                  else
                      aLosItems();
              });
}

void PestanaItem::eliminarConSupr(QWidget* lista, const QString& procedimiento,
                                  std::function<void()> delItem, std::function<void()> deLosItems) {
    alTeclear(lista, {Qt::Key_Delete}, procedimiento,
              [this, delItem = std::move(delItem), deLosItems = std::move(deLosItems)](int) {
                  if (!itemGlobal()) {
                      delItem();
                  } else if (deLosItems) {
                      // A delete over every item is refused while the outside client has the
                      // declaration open, as an add is.
                      if (rechazaAbierto())
                          return;
                      deLosItems();
                  }
              });
}

bool PestanaItem::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        for (const Tecla& t : std::as_const(teclas_))
            if (t.control == watched && t.teclas.contains(key)) {
                correr(t.procedimiento, [&] { t.accion(key); });
                return true;
            }
    }
    return QObject::eventFilter(watched, event);
}

void PestanaItem::llenar(QTreeWidget* lista, modDA::Recordset rs,
                         const QList<const char*>& campos) {
    lista->clear();
    for (; !rs.eof(); rs.moveNext()) {
        QStringList textos;
        for (const char* campo : campos)
            textos << rs.text(QLatin1String(campo));
        new QTreeWidgetItem(lista, textos);
    }
    // Codes, numbers and references whole, in the list's font.
    corvelix::widenColumnsToTexts(*lista);
}

QTreeWidgetItem* PestanaItem::seleccionada(QTreeWidget* lista) {
    QTreeWidgetItem* fila = lista->currentItem();
    if (fila == nullptr || !fila->isSelected())
        return nullptr;
    return fila;
}

QTreeWidgetItem* PestanaItem::filaConfirmada(QTreeWidget* lista, const QString& pregunta) {
    QTreeWidgetItem* fila = seleccionada(lista);
    if (fila == nullptr)
        return nullptr;
    if (ui().msgBox(pregunta + fila->text(0), MsgButtons::YesNo, MsgIcon::Question) !=
        MsgResult::Yes)
        return nullptr;
    return fila;
}

QString PestanaItem::codigoAEliminarEnItems(QTreeWidget* lista, const QString& que) {
    if (!itemGlobal())
        return {};
    QTreeWidgetItem* fila = seleccionada(lista);
    if (fila == nullptr)
        return {};
    const QString codigo = fila->text(0);
    if (ui().msgBox(preguntaEliminarEnItems(que, codigo), MsgButtons::YesNo, MsgIcon::Question,
                    QString(), MsgDefault::Second) != MsgResult::Yes)
        return {};
    return codigo;
}

void PestanaItem::recargarSiFalla(const std::function<void()>& escribir,
                                  const std::function<void()>& recargar) {
    try {
        escribir();
    } catch (...) {
        recargar();
        throw;
    }
}

MsgResult PestanaItem::preguntarEnItems(const QString& pregunta, const QString& si,
                                        const QString& no) {
    return ui().msgBox(lineas({pregunta, QString(), QStringLiteral("Si selecciona:"),
                               QStringLiteral("[SI] ") + si, QStringLiteral("[NO] ") + no}),
                       MsgButtons::YesNoCancel, MsgIcon::Question, QStringLiteral("Confirmación"),
                       MsgDefault::Third);
}

MsgResult PestanaItem::preguntarValorEnItems(const QString& pregunta, const QString& codigo) {
    return preguntarEnItems(
        pregunta,
        QStringLiteral("Se establecerá este valor en los items, se perderá los valores existentes"),
        QStringLiteral("Solo se establecerá este valor en los items que NO tengan cargado ") +
            codigo);
}

void PestanaItem::finDelProceso() {
    ui().msgBox(QStringLiteral("fin del proceso"), MsgButtons::Ok, MsgIcon::Information);
}
