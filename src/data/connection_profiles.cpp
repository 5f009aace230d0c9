#include "data/CatalogTrouble.h"
#include "data/connection.h"

#include "data/modDA.h"
#include "platform/Registro.h"
#include "platform/Settings.h"
#include "runtime/Paths.h"
#include "runtime/Ui.h"

#include <QHash>

#include <algorithm>

namespace modDA {

namespace {

// Connection strings of the profiles; the passwords belong to the outside system's logins.
constexpr char kLegacyString[] =
    R"cs(Provider=SQLOLEDB;Password=Tq83#mZ!pL0w[}r7Xv&c2^nB9%yK(e4)Hs_Ju6*Fd1~gR5{Ao8iW3=Ne$7bQ/Ck0!Ul]2Vx%t9wP,;Persist Security Info=True;User ID=kit;Initial Catalog=KitSQL;Data Source=.)cs";
constexpr char kLegacyLocalDbString[] =
    R"cs(Provider=SQLNCLI11;Server=(LocalDb)\MSSQLLocalDB;Password=Tq83#mZ!pL0w[}r7Xv&c2^nB9%yK(e4)Hs_Ju6*Fd1~gR5{Ao8iW3=Ne$7bQ/Ck0!Ul]2Vx%t9wP,;Persist Security Info=True;User ID=kit;Database=KitSQL;Initial Catalog=KitSQL)cs";
constexpr char kNuevoString[] =
    R"cs(Provider=SQLOLEDB;Server=(local);Password=Hk2pQw9ZrT4vLm7XcB1nYs8eGd3fJa6uKo0iVt5yRq8=;Persist Security Info=True;User ID=Qit;Database=KitSQL;Initial Catalog=KitSQL)cs";
constexpr char kNuevoDbString[] =
    R"cs(Provider=SQLNCLI11;Server=(LocalDb)\MSSQLLocalDB;Password=Hk2pQw9ZrT4vLm7XcB1nYs8eGd3fJa6uKo0iVt5yRq8=;Persist Security Info=True;User ID=Qit;Database=KitSQL;Initial Catalog=KitSQL)cs";
constexpr char kAfipV2String[] =
    R"cs(Provider=SQLNCLI11;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=KitSql;Server=.;)cs";
constexpr char kInternoString[] =
    R"cs(Provider=SQLOLEDB;Password=marlo7315;Persist Security Info=True;User ID=velquenw;Initial Catalog=KitSQL;Data Source=)cs";
// The database server of the office network that the internal profile reaches.
constexpr char kInternoServer[] = R"cs(192.168.0.10\sqlexpress)cs";

std::function<void()>& internalProfileListener() {
    static std::function<void()> fn;
    return fn;
}

} // namespace

QString odbcConnectionString(const QString& profileString) {
    QHash<QString, QString> parts;
    for (const QString& piece : profileString.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq > 0)
            parts.insert(piece.left(eq).trimmed().toLower(), piece.mid(eq + 1));
    }
    QString server =
        parts.value(QStringLiteral("data source"), parts.value(QStringLiteral("server"))).trimmed();
    QString instance;
    const qsizetype slash = server.indexOf(QLatin1Char('\\'));
    if (server.compare(QLatin1String("(LocalDb)\\MSSQLLocalDB"), Qt::CaseInsensitive) == 0) {
        server.clear();
    } else if (slash >= 0) {
        instance = server.mid(slash + 1);
        server = server.left(slash);
    }
    if (server.isEmpty() || server == QLatin1String(".") ||
        server.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0)
        server = QStringLiteral("localhost");
    if (!instance.isEmpty())
        server += QLatin1Char('\\') + instance;

    // Values with ODBC's special characters go between braces, a closing brace doubled.
    const auto quoted = [](const QString& value) {
        static const QString special = QStringLiteral(";{}=");
        const bool needs =
            std::any_of(value.begin(), value.end(), [](QChar c) { return special.contains(c); }) ||
            value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' '));
        if (!needs)
            return value;
        QString escaped = value;
        escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
        return QLatin1Char('{') + escaped + QLatin1Char('}');
    };

    QStringList odbc{QStringLiteral("DRIVER={FreeTDS}"),
                     QStringLiteral("SERVER=") + quoted(server)};
    const QString database =
        parts.value(QStringLiteral("initial catalog"), parts.value(QStringLiteral("database")));
    if (!database.isEmpty())
        odbc << QStringLiteral("DATABASE=") + quoted(database);
    if (parts.value(QStringLiteral("integrated security"))
            .compare(QLatin1String("SSPI"), Qt::CaseInsensitive) == 0) {
        odbc << QStringLiteral("Trusted_Connection=Yes");
    } else {
        odbc << QStringLiteral("UID=") + quoted(parts.value(QStringLiteral("user id")));
        odbc << QStringLiteral("PWD=") + quoted(parts.value(QStringLiteral("password")));
    }
    odbc << QStringLiteral("ClientCharset=UTF-8");
    return odbc.join(QLatin1Char(';')) + QLatin1Char(';');
}

QString getConnectionString(int tipo) {
    try {
        if (tipo == kLocal)
            return corvelix::localDatabasePath();
        const QString word =
            corvelix::settings::getSetting(QStringLiteral("config"), QStringLiteral("perfil"));
        if (word == QLatin1String("legacy") || word.isEmpty()) {
            const QVariant srv = Registro::leerValorRegistro(
                Registro::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\SIF America\\KITMaria"),
                QStringLiteral("srv"));
            if (!srv.toString().trimmed().isEmpty())
                return QString::fromLatin1(kLegacyLocalDbString);
            return QString::fromLatin1(kLegacyString);
        }
        if (word == QLatin1String("nuevodb"))
            return QString::fromLatin1(kNuevoDbString);
        if (word == QLatin1String("afipv2"))
            return QString::fromLatin1(kAfipV2String);
        if (word != QLatin1String("interno"))
            return QString::fromLatin1(kNuevoString);
        if (internalProfileListener())
            internalProfileListener()();
        return QString::fromLatin1(kInternoString) + QString::fromLatin1(kInternoServer);
    } catch (...) {
        const corvelix::VbError error = corvelix::currentError();
        const QString location = QStringLiteral("Corvelix.modDA.getConnectionString (0)::");
        reportCatalogTrouble(
            {CatalogTrouble::ConnectionString,
             error.description + QStringLiteral("\n\n") + location + error.source});
        corvelix::reraise(error, QStringLiteral("Corvelix.modDA.getConnectionString"));
    }
}

void setInternalProfileListener(std::function<void()> listener) {
    internalProfileListener() = std::move(listener);
}

} // namespace modDA
