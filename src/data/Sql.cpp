#include "data/Sql.h"

#include "runtime/TextCodec.h"
#include "runtime/VbError.h"

#include <QFile>

namespace modDA {

namespace {

[[noreturn]] void refuse(const QString& description) {
    throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("Corvelix.modDA.Sql"),
                            description);
}

bool isNameChar(QChar c) {
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_');
}

} // namespace

Sql Sql::identifier(const QString& name) {
    const bool valid = !name.isEmpty() && !name.front().isDigit() &&
                       std::all_of(name.begin(), name.end(), isNameChar);
    if (!valid)
        refuse(QStringLiteral("Nombre de tabla o columna no válido: '") + name +
               QStringLiteral("'."));
    return {Trusted{}, name};
}

Sql Sql::integer(qint64 value) {
    return {Trusted{}, QString::number(value)};
}

Sql Sql::placeholders(qsizetype count) {
    if (count < 1)
        refuse(QStringLiteral("Una lista de valores vacía no puede ir en la consulta."));
    QString text = QStringLiteral("?");
    text.reserve(count * 3);
    for (qsizetype i = 1; i < count; ++i)
        text += QStringLiteral(", ?");
    return {Trusted{}, text};
}

Sql Sql::fromResource(const QString& path) {
    if (!path.startsWith(QLatin1String(":/")))
        refuse(QStringLiteral("Sólo se ejecutan scripts del programa: ") + path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(QStringLiteral("No se puede leer ") + path);
    return {Trusted{}, corvelix::fromWindows1252(file.readAll())};
}

Sql Sql::withoutPrefix(const QString& prefix) const {
    const QString trimmed = text_.trimmed();
    if (!trimmed.startsWith(prefix, Qt::CaseInsensitive))
        return *this;
    return {Trusted{}, trimmed.mid(prefix.size())};
}

Sql Sql::join(const QList<Sql>& parts, const Sql& separator) {
    Sql out;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += separator;
        out += parts.at(i);
    }
    return out;
}

} // namespace modDA
