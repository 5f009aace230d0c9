#pragma once

#include <QList>
#include <QString>

// The SIMI work rows of the local file (SIMIGlobalItem) and the catalog writes that apply them
// to a declaration's items: lists, certificate-of-origin documents, CCPAC rows, deletions.
namespace modDA {

// Work-row states.
inline constexpr int kSimiCargado = 0;
inline constexpr int kSimiMarcado = 1;
inline constexpr int kSimiEliminado = 2;

struct SimiFila {
    QString operacion;
    int item = 0;
    QString lista;
    QString certificado;
    QString ccTexto;
    QString paisOrigen;
    double cantidad = 0;
    double fob = 0;
    int procesado = 0;
    // Written by the sheet load only.
    double kgNeto = -1;
    QString declaradaUnidad;
    double declaradaCantidad = 0;
    QString estadisticaUnidad;
    double estadisticaCantidad = 0;
};

// The value a single step sends.
enum class SimiValor { Lista, Certificado, CCPack };

// Number of work rows of the declaration, whatever their state.
int getItemSIMI(const QString& despacho);
// The declaration's work rows whose item has not been deleted (every state but 2), in the
// file's order.
QList<SimiFila> getSimiFilas(const QString& despacho);
// Those of them that carry a value of the given kind (not Null).
QList<SimiFila> getSimiFilasCon(const QString& despacho, SimiValor valor);

// An item as the work rows name it (the number it shows) and its key in the catalog.
struct SimiItem {
    int numero = 0;
    QString nart;
};

// Catalog writes of one work row, on the item's key (the caller holds the step's transaction).
// ART.LISTA of the item; the text as given.
void simiSetLista(const QString& despacho, const QString& lista, const QString& nart);
// The item's three certificate-of-origin documents replaced by three presented ones carrying
// `valor`; its CERTORIGMERCOSUR complementary row removed.
void simiSetCertificadoOrigen(const QString& despacho, const QString& nart, const QString& valor);
// The declaration's DCEXP CCPAC rows, every item.
void simiCCPackReset(const QString& despacho);
// One DCEXP CCPAC row of the item; `cccmnart` is the shown number written with its origin
// country's mask.
void simiSetCCPack(const QString& despacho, const QString& nart, const QString& valor,
                   const QString& cccmnart);

// Marks the loaded rows (state 0) of the items none of whose rows carries a quantity or an
// FOB; rows already marked or whose item was deleted are left alone. Rows marked.
int marcarART_Eliminar(const QString& despacho);
// The item numbers of the marked rows (state 1), highest first, each once.
QList<int> getSimiMarcados(const QString& despacho);
// Deletes the items (sp_delete_ART on each key, in the order given) in one catalog
// transaction, then sets the marked rows to state 2. A failure deletes nothing and names the
// number of the item it stopped at.
void simiEliminarItems(const QString& despacho, const QList<SimiItem>& items);

// The declaration's highest item number (NARTEXT's leading number; 0 without items).
int maxItemDespacho(const QString& despacho);
// Replaces the declaration's work rows by `filas` (state 0) plus a zero row for every item
// number from 1 to `rellenarHasta` that has none, in one transaction.
void simiReemplazarFilas(const QString& despacho, const QList<SimiFila>& filas,
                         int rellenarHasta = 0);

} // namespace modDA
