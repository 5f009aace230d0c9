#include "data/sqlite_functions.h"

#include "data/Dialect.h"
#include "data/modDA.h"

#include "platform/ErrorReasons.h"
#include "runtime/VbError.h"

#include <QSqlDriver>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <string>

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

// XMLTEXT(text): the text without the control characters XML cannot hold (all below 0x20 but
// tab, LF and CR). The work-table lists leave them out, as the server's lists must (they are
// aggregated through XML there). Null stays Null; a text without them is returned as it is.
void xmltext(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
        sqlite3_result_value(context, argv[0]);
        return;
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int size = sqlite3_value_bytes(argv[0]);
    const auto forbidden = [](unsigned char c) {
        return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
    };
    if (std::none_of(bytes, bytes + size, [&](char c) { return forbidden(c); })) {
        sqlite3_result_value(context, argv[0]);
        return;
    }
    std::string kept;
    kept.reserve(std::size_t(size));
    for (int i = 0; i < size; ++i)
        if (!forbidden(static_cast<unsigned char>(bytes[i])))
            kept.push_back(bytes[i]);
    sqlite3_result_text(context, kept.data(), int(kept.size()), SQLITE_TRANSIENT);
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
    const qint64 start = argc > 2 ? std::max<qint64>(sqlite3_value_int64(argv[2]), 1) : 1;
    // Plain ASCII on both sides (declaration numbers, codes): compared as bytes, without
    // turning each row's text into a QString. The list filters every row this way.
    const auto* needleBytes = sqlite3_value_text(argv[0]);
    const int needleSize = sqlite3_value_bytes(argv[0]);
    const auto* hayBytes = sqlite3_value_text(argv[1]);
    const int haySize = sqlite3_value_bytes(argv[1]);
    const auto ascii = [](const unsigned char* text, int size) {
        for (int i = 0; i < size; ++i)
            if (text[i] >= 0x80)
                return false;
        return true;
    };
    if (needleBytes != nullptr && hayBytes != nullptr && ascii(needleBytes, needleSize) &&
        ascii(hayBytes, haySize)) {
        const auto lower = [](unsigned char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
        };
        qint64 found = 0;
        if (needleSize > 0)
            for (qint64 at = start - 1; found == 0 && at + needleSize <= haySize; ++at) {
                int k = 0;
                while (k < needleSize && lower(hayBytes[at + k]) == lower(needleBytes[k]))
                    ++k;
                if (k == needleSize)
                    found = at + 1;
            }
        sqlite3_result_int64(context, found);
        return;
    }
    const QString needle = valueText(argv[0]);
    const QString haystack = valueText(argv[1]);
    qint64 found = 0;
    if (!needle.isEmpty() && start <= haystack.size())
        found =
            haystack.indexOf(needle, static_cast<qsizetype>(start - 1), Qt::CaseInsensitive) + 1;
    sqlite3_result_int64(context, found);
}

// Letters matched the way the server's case-insensitive, accent-sensitive collation compares
// them: "AÑO" matches "año", "a" does not match "á". Each character is case-folded on its own.
char32_t fold(char32_t c) {
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    return QChar::toCaseFolded(c);
}

// The next character of UTF-8 text; a malformed byte stands for itself.
char32_t nextChar(const unsigned char* text, int length, int& i) {
    const unsigned char lead = text[i];
    int extra = 0;
    char32_t c = lead;
    if (lead >= 0xC0 && lead < 0xE0) {
        extra = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        extra = 2;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF8) {
        extra = 3;
        c = lead & 0x07;
    }
    if (extra == 0 || i + extra >= length) {
        ++i;
        return lead;
    }
    for (int k = 1; k <= extra; ++k) {
        if ((text[i + k] & 0xC0) != 0x80) {
            ++i;
            return lead;
        }
        c = (c << 6) | (text[i + k] & 0x3F);
    }
    i += extra + 1;
    return c;
}

// Folded characters of a value's text.
void foldedText(sqlite3_value* value, std::u32string& out) {
    const auto* text = sqlite3_value_text(value);
    const int length = sqlite3_value_bytes(value);
    out.clear();
    for (int i = 0; i < length;)
        out.push_back(fold(nextChar(text, length, i)));
}

// A LIKE pattern compiled once per statement: literal characters (folded), '_' and '%'.
struct LikePattern {
    enum Kind : char32_t { kAny = 0x110000, kOne = 0x110001 }; // beyond any character
    std::u32string tokens;
};

void deletePattern(void* pattern) {
    delete static_cast<LikePattern*>(pattern);
}

bool likeMatches(const std::u32string& pattern, const std::u32string& text) {
    // Greedy match, going back to the last '%' on a mismatch.
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t star = std::u32string::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == LikePattern::kOne || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == LikePattern::kAny) {
            star = p++;
            starText = t;
        } else if (star != std::u32string::npos) {
            p = star + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == LikePattern::kAny)
        ++p;
    return p == pattern.size();
}

// like(pattern, text [, escape]): what "text LIKE pattern [ESCAPE e]" calls. Letters match
// as fold() folds them; '%' any run of characters, '_' one. The searches fold every letter
// here, in a function: the columns' NOCASE stays SQLite's own (ASCII only), since indexes
// other programs build on the catalog are ordered by it.
void like(sqlite3_context* context, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (pattern == nullptr) {
        char32_t escape = 0;
        bool hasEscape = false;
        if (argc > 2) {
            std::u32string e;
            foldedText(argv[2], e);
            if (e.size() != 1) {
                sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
                return;
            }
            escape = e.front();
            hasEscape = true;
        }
        std::u32string raw;
        foldedText(argv[0], raw);
        auto compiled = std::make_unique<LikePattern>();
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const char32_t c = raw[i];
            if (hasEscape && c == escape && i + 1 < raw.size())
                compiled->tokens.push_back(raw[++i]);
            else if (c == U'%')
                compiled->tokens.push_back(LikePattern::kAny);
            else if (c == U'_')
                compiled->tokens.push_back(LikePattern::kOne);
            else
                compiled->tokens.push_back(c);
        }
        pattern = compiled.release();
        sqlite3_set_auxdata(context, 0, pattern, deletePattern);
        // SQLite may drop it at once (a pattern that changes per row); read it back.
        pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
        if (pattern == nullptr) {
            sqlite3_result_error(context, "LIKE pattern lost", -1);
            return;
        }
    }
    thread_local std::u32string text;
    foldedText(argv[1], text);
    sqlite3_result_int(context, likeMatches(pattern->tokens, text) ? 1 : 0);
}

// The CODIGO collation: texts compared character by character as fold() folds them, so that
// codes are equal as the server's case-insensitive, accent-sensitive collation finds them.
// Statements name it only in comparisons; no index is built on it.
int compareCodes(void*, int lengthA, const void* a, int lengthB, const void* b) {
    const auto* textA = static_cast<const unsigned char*>(a);
    const auto* textB = static_cast<const unsigned char*>(b);
    int i = 0;
    int j = 0;
    while (i < lengthA && j < lengthB) {
        const char32_t ca = fold(nextChar(textA, lengthA, i));
        const char32_t cb = fold(nextChar(textB, lengthB, j));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < lengthA)
        return 1;
    return j < lengthB ? -1 : 0;
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
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(sqlite, "XMLTEXT", 1, deterministic, nullptr, xmltext,
                                        nullptr, nullptr, nullptr);
    for (int args : {2, 3}) {
        if (rc == SQLITE_OK)
            rc = sqlite3_create_function_v2(sqlite, "like", args, deterministic, nullptr, like,
                                            nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation_v2(sqlite, sql::kCodeCollation, SQLITE_UTF8, nullptr,
                                         compareCodes, nullptr);
    if (rc != SQLITE_OK)
        throw corvelix::VbError(
            corvelix::kErrInternal, QStringLiteral("SQLite"),
            QStringLiteral("No se pudieron preparar las funciones del catálogo: ") +
                corvelix::sqliteErrorReason(rc, QString::fromUtf8(sqlite3_errmsg(sqlite))));
}

} // namespace modDA
