#include "data/sqlite_functions.h"

#include "data/modDA.h"

#include "runtime/VbError.h"

#include <QSqlDriver>

#include <sqlite3.h>

namespace modDA {

namespace {

std::function<QDateTime()>& clock() {
    static std::function<QDateTime()> fn;
    return fn;
}

QString valueText(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

// Statements call GETDATE() once per row of a join; turning the system clock into local
// time costs a look at the time zone file every time, so the text is kept for its second.
QByteArray getdateText() {
    static const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    if (clock())
        return clock()().toString(format).toUtf8();
    thread_local qint64 second = -1;
    thread_local QByteArray text;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (now != second) {
        text = QDateTime::fromSecsSinceEpoch(now).toString(format).toUtf8();
        second = now;
    }
    return text;
}

// GETDATE(): the current date and time in the form dates are stored in.
void getdate(sqlite3_context* context, int, sqlite3_value**) {
    try {
        const QByteArray text = getdateText();
        sqlite3_result_text(context, text.constData(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT);
    } catch (...) {
        sqlite3_result_error(context, "GETDATE failed", -1);
    }
}

// CHARINDEX(needle, haystack [, start]): 1-based position ignoring letter case, 0 when absent,
// Null when an argument is Null.
void charindex(sqlite3_context* context, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    const QString needle = valueText(argv[0]);
    const QString haystack = valueText(argv[1]);
    const qint64 start = argc > 2 ? std::max<qint64>(sqlite3_value_int64(argv[2]), 1) : 1;
    qint64 found = 0;
    if (!needle.isEmpty() && start <= haystack.size())
        found =
            haystack.indexOf(needle, static_cast<qsizetype>(start - 1), Qt::CaseInsensitive) + 1;
    sqlite3_result_int64(context, found);
}

} // namespace

void setClock(std::function<QDateTime()> fn) {
    clock() = std::move(fn);
}

QDateTime currentDateTime() {
    return clock() ? clock()() : QDateTime::currentDateTime();
}

void registerSqliteFunctions(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("Corvelix"),
                                QStringLiteral("La conexión no es SQLite."));
    sqlite3* sqlite = *static_cast<sqlite3* const*>(handle.constData());
    if (sqlite == nullptr)
        throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("Corvelix"),
                                QStringLiteral("La conexión SQLite no está abierta."));
    const int flags = SQLITE_UTF8;
    int rc = sqlite3_create_function_v2(sqlite, "GETDATE", 0, flags, nullptr, getdate, nullptr,
                                        nullptr, nullptr);
    const int deterministic = flags | SQLITE_DETERMINISTIC;
    for (int args : {2, 3}) {
        if (rc == SQLITE_OK)
            rc = sqlite3_create_function_v2(sqlite, "CHARINDEX", args, deterministic, nullptr,
                                            charindex, nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK)
        throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("SQLite"),
                                QString::fromUtf8(sqlite3_errmsg(sqlite)));
}

} // namespace modDA
