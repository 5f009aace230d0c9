#include "data/lookup_lists.h"

#include "data/modDA.h"
#include "runtime/VbError.h"

namespace modDA {

QString containsPattern(const QString& value) {
    QString escaped;
    escaped.reserve(value.size() + 2);
    escaped += QLatin1Char('%');
    for (const QChar c : value) {
        // '[' opens a character class on the server.
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_') ||
            c == QLatin1Char('['))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    escaped += QLatin1Char('%');
    return escaped;
}

CodeListQuery codeListQuery(int tabla, const QString& filtro) {
    CodeListQuery query;
    query.tipo = tabla >= 49 ? kLocal : kCatalog;
    const bool filtrar = !filtro.isEmpty();
    const QString pattern = containsPattern(filtro);
    switch (tabla) {
    case 1:
        if (filtrar) {
            query.sql = "select CVEN as id, LVENLBL as descripcion from ven where (CVEN like ? "
                        "ESCAPE '\\' or LVENLBL like ? ESCAPE '\\' ) and getdate() between "
                        "DVENEFF and DVENFIN";
            query.params = {pattern, pattern};
        } else {
            query.sql = "select CVEN as id, LVENLBL as descripcion from ven where getdate() "
                        "between DVENEFF and DVENFIN";
        }
        break;
    case 2:
        query.sql = "select CODLISTA as id, DESCLISTA as descripcion, '' as valor from lst";
        break;
    case 3:
        if (filtrar) {
            query.sql = "select CZCP as id, LZCPDESC as descripcion, '' as valor  from ZCP where "
                        "IZCPIG = 'I' and (CZCP like ? ESCAPE '\\' or LZCPDESC like ? ESCAPE "
                        "'\\') and getdate() between DZCPINI and DZCPFIN";
            query.params = {pattern, pattern};
        } else {
            query.sql = "select CZCP as id, LZCPDESC as descripcion, '' as valor  from ZCP where "
                        "IZCPIG = 'I' and getdate() between DZCPINI and DZCPFIN";
        }
        break;
    case 4:
        if (filtrar) {
            query.sql = "select CDOC as id, LDOCDESC as descripcion, '' as valor  from DOC where "
                        "(CDOC like ? ESCAPE '\\' or LDOCDESC like ? ESCAPE '\\') and getdate() "
                        "between DDOCINI and DDOCFIN";
            query.params = {pattern, pattern};
        } else {
            query.sql = "select CDOC as id, LDOCDESC as descripcion, '' as valor  from DOC where "
                        "getdate() between DDOCINI and DDOCFIN";
        }
        break;
    case 5:
        query.sql = "SELECT CESTCOD AS ID , LDESCRI AS DESCRIPCION, '' as valor  FROM EST";
        break;
    case 6:
        query.sql = "SELECT CPAY AS ID, LPAYABR AS DESCRIPCION, '' as valor  FROM PAY WHERE "
                    "DPAYFIN > GETDATE()";
        break;
    case 7:
        query.sql = "SELECT CPRV AS ID , LPRV AS DESCRIPCION, '' as valor  FROM PRV WHERE "
                    "DPRVFIN > GETDATE()";
        break;
    case 50:
        if (filtrar) {
            query.sql = "SELECT ID, '' AS DESCRIPCION, VALOR FROM INFOADICIONAL where id like ? "
                        "ESCAPE '\\' order by id";
            query.params = {pattern};
        } else {
            query.sql = "SELECT ID, '' AS DESCRIPCION, VALOR FROM INFOADICIONAL order by id";
        }
        break;
    default:
        throw corvelix::VbError(static_cast<qint32>(0x80045B9Du), QStringLiteral("getSQL"),
                                QStringLiteral("parametro invalido: ") + QString::number(tabla));
    }
    return query;
}

} // namespace modDA
