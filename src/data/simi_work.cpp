#include "data/simi_work.h"

#include "data/modDA.h"
#include "runtime/VbError.h"

#include <QSet>

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

QString cuatroDigitos(int item) {
    return QStringLiteral("%1").arg(item, 4, 10, QLatin1Char('0'));
}

const Sql kColumnas = "SELECT NumeroOperacion, Item, Lista, Certificado_Origen, CCTexto, "
                      "PaisOrigen, Cantidad, Fob, procesado FROM SIMIGlobalItem ";

// Rows whose item a run has deleted (state 2) send nothing more: their item is gone.
const Sql kVigentes = "AND (procesado IS NULL OR procesado <> 2) ";

// An item goes only when none of its rows carries a quantity or an FOB: a zero row beside a
// row with values (the same item twice in the sheet) keeps it.
const Sql kSoloCeros = "AND Cantidad = 0 AND Fob = 0 AND NOT EXISTS (SELECT 1 FROM "
                       "SIMIGlobalItem otra WHERE otra.NumeroOperacion = "
                       "SIMIGlobalItem.NumeroOperacion AND otra.Item = SIMIGlobalItem.Item "
                       "AND (otra.Cantidad <> 0 OR otra.Fob <> 0)) ";

QList<SimiFila> leerFilas(const Recordset& rs) {
    QList<SimiFila> filas;
    filas.reserve(rs.recordCount());
    for (const QVariantList& r : rs.rows()) {
        SimiFila f;
        f.operacion = r.at(0).toString();
        f.item = r.at(1).toInt();
        f.lista = r.at(2).toString();
        f.certificado = r.at(3).toString();
        f.ccTexto = r.at(4).toString();
        f.paisOrigen = r.at(5).toString();
        f.cantidad = r.at(6).toDouble();
        f.fob = r.at(7).toDouble();
        f.procesado = r.at(8).toInt();
        filas.append(f);
    }
    return filas;
}

QString sinComillas(QString text) {
    return text.replace(QLatin1Char('\''), QLatin1Char(' '));
}

} // namespace

int getItemSIMI(const QString& despacho) {
    return corvelix::chained(location("getItemSIMI"), [&] {
        const Recordset rs =
            getRs(kLocal, "select count(*) AS total from SIMIGlobalItem where NumeroOperacion = ?",
                  {despacho});
        return rs.eof() ? 0 : rs.field(QStringLiteral("total")).toInt();
    });
}

QList<SimiFila> getSimiFilas(const QString& despacho) {
    return corvelix::chained(location("getSimiFilas"), [&] {
        return leerFilas(
            getRs(kLocal, kColumnas + "WHERE NumeroOperacion = ? " + kVigentes + "ORDER BY rowid",
                  {despacho}));
    });
}

QList<SimiFila> getSimiFilasCon(const QString& despacho, SimiValor valor) {
    return corvelix::chained(location("getSimiFilasCon"), [&] {
        Sql condicion;
        switch (valor) {
        case SimiValor::Lista:
            condicion = "AND Lista IS NOT NULL ";
            break;
        case SimiValor::Certificado:
            condicion = "AND Certificado_Origen IS NOT NULL ";
            break;
        case SimiValor::CCPack:
            condicion = "AND CCTexto IS NOT NULL ";
            break;
        }
        return leerFilas(getRs(kLocal,
                               kColumnas + "WHERE NumeroOperacion = ? " + kVigentes + condicion +
                                   "ORDER BY rowid",
                               {despacho}));
    });
}

void simiSetLista(const QString& despacho, const QString& lista, const QString& nart) {
    corvelix::chained(location("simiSetLista"), [&] {
        execSQL(kCatalog, "update ART set LISTA = ? where IDDT = ? and NART = ?",
                {lista, despacho, nart});
    });
}

void simiSetCertificadoOrigen(const QString& despacho, const QString& nart, const QString& valor) {
    corvelix::chained(location("simiSetCertificadoOrigen"), [&] {
        Transaction transaction;
        execSQL(kCatalog,
                "DELETE from DVD where IDVD = ? and NART = ? and CDVDDOC in "
                "('CERT.ORIGEN/L', 'COD-MERCOSUR', 'CERTORIGMERCOSUR')",
                {despacho, nart});
        execSQL(kCatalog,
                "DELETE from CPL where ICPL = ? and NART = ? and CCPL in ('CERTORIGMERCOSUR')",
                {despacho, nart});
        const QString referencia = sinComillas(valor);
        for (const char* clave : {"CERT.ORIGEN/L", "COD-MERCOSUR", "CERTORIGMERCOSUR"})
            execSQL(kCatalog,
                    "insert into DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) "
                    "values (?, ?, ?, 'S', ?)",
                    {despacho, nart, QString::fromLatin1(clave), referencia});
        transaction.commit();
    });
}

void simiCCPackReset(const QString& despacho) {
    corvelix::chained(location("simiCCPackReset"), [&] {
        execSQL(kCatalog, "delete from CCM where IDDT = ? AND CCCM = 'DCEXP'", {despacho});
    });
}

void simiSetCCPack(const QString& despacho, const QString& nart, const QString& valor,
                   const QString& cccmnart) {
    corvelix::chained(location("simiSetCCPack"), [&] {
        execSQL(kCatalog,
                "insert into CCM (IDDT, NART, CCCM, MCCM, DESARROLLO, CCCMNART) "
                "values (?, ?, 'DCEXP', ?, 1, ?)",
                {despacho, nart.toInt(), sinComillas(valor), cccmnart});
    });
}

int marcarART_Eliminar(const QString& despacho) {
    return corvelix::chained(location("marcarART_Eliminar"), [&] {
        return execSQL(kLocal,
                       "update SIMIGlobalItem set procesado = 1 where NumeroOperacion = ? "
                       "and procesado = 0 " +
                           kSoloCeros,
                       {despacho});
    });
}

QList<int> getSimiMarcados(const QString& despacho) {
    return corvelix::chained(location("getSimiMarcados"), [&] {
        const Recordset rs = getRs(kLocal,
                                   "select DISTINCT Item from SIMIGlobalItem where "
                                   "NumeroOperacion = ? and procesado = 1 " +
                                       kSoloCeros + "order by Item desc",
                                   {despacho});
        QList<int> items;
        items.reserve(rs.recordCount());
        for (const QVariantList& r : rs.rows())
            items.append(r.at(0).toInt());
        return items;
    });
}

void simiEliminarItems(const QString& despacho, const QList<SimiItem>& items) {
    corvelix::chained(location("simiEliminarItems"), [&] {
        // Without items to delete the marked rows still end in state 2.
        if (!items.isEmpty()) {
            Transaction catalogo(kCatalog);
            for (const SimiItem& item : items) {
                try {
                    runProcedure(QStringLiteral("sp_delete_ART"), {item.nart, despacho});
                } catch (...) {
                    const corvelix::VbError error = corvelix::currentError();
                    throw corvelix::VbError(error.number, error.source,
                                            error.description + QStringLiteral(" (item ") +
                                                cuatroDigitos(item.numero) + QLatin1Char(')'));
                }
            }
            catalogo.commit();
        }
        Transaction local(kLocal);
        execSQL(kLocal,
                "update SIMIGlobalItem set procesado = 2 where NumeroOperacion = ? and "
                "procesado = 1 " +
                    kSoloCeros,
                {despacho});
        local.commit();
    });
}

int maxItemDespacho(const QString& despacho) {
    return corvelix::chained(location("maxItemDespacho"), [&] {
        const Recordset rs =
            getRs(kCatalog, "select max(NARTEXT) AS maxItem from ART where IDDT = ?", {despacho});
        if (rs.eof())
            return 0;
        // The leading number of the text.
        const QString texto = rs.text(QStringLiteral("maxItem")).trimmed();
        qsizetype n = 0;
        while (n < texto.size() && texto.at(n).isDigit())
            ++n;
        return texto.left(n).toInt();
    });
}

void simiReemplazarFilas(const QString& despacho, const QList<SimiFila>& filas, int rellenarHasta) {
    corvelix::chained(location("simiReemplazarFilas"), [&] {
        Transaction transaction(kLocal);
        execSQL(kLocal, "delete from SIMIGlobalItem where NumeroOperacion = ?", {despacho});
        QSet<int> presentes;
        for (const SimiFila& f : filas) {
            presentes.insert(f.item);
            execSQL(kLocal,
                    "insert into SIMIGlobalItem (NumeroOperacion, Item, Subitem, Cantidad, Fob, "
                    "Lista, CCTexto, Certificado_Origen, KGNeto, Procesado, DeclaradaUnidad, "
                    "DeclaradaCantidad, EstadisticaUnidad, EstadisticaCantidad, PaisOrigen) "
                    "values (?, ?, 0, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?, ?)",
                    {despacho, f.item, f.cantidad, f.fob, f.lista, f.ccTexto, f.certificado,
                     f.kgNeto, f.declaradaUnidad, f.declaradaCantidad, f.estadisticaUnidad,
                     f.estadisticaCantidad, f.paisOrigen});
        }
        for (int i = 1; i <= rellenarHasta; ++i) {
            if (presentes.contains(i))
                continue;
            execSQL(kLocal,
                    "insert into SIMIGlobalItem (NumeroOperacion, Item, Subitem, Cantidad, Fob) "
                    "values (?, ?, 0, 0, 0)",
                    {despacho, i});
        }
        transaction.commit();
    });
}

} // namespace modDA
