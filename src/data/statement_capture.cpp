#include "data/modDA.h"

#include <QFile>

namespace modDA {

namespace {
StatementCapture*& activeCapture() {
    static StatementCapture* capture = nullptr;
    return capture;
}
} // namespace

StatementCapture::StatementCapture(Dialect dialect)
    : dialect_(dialect), previous_(activeCapture()) {
    activeCapture() = this;
}

StatementCapture::~StatementCapture() {
    activeCapture() = previous_;
    // CORVELIX_SERVER_SQL names a file that collects every server text the tests capture, one
    // statement a line, for a reader with a server or a T-SQL parser (scripts/server-sql).
    const QString out = qEnvironmentVariable("CORVELIX_SERVER_SQL");
    if (dialect_ != Dialect::SqlServer || out.isEmpty() || statements_.isEmpty())
        return;
    QFile file(out);
    if (!file.open(QIODevice::Append | QIODevice::Text))
        return;
    for (const Statement& statement : statements_) {
        // Line comments go (outside quotes), so that the statement still reads on one line.
        QStringList parts;
        for (const QString& textLine : statement.text.split(QLatin1Char('\n'))) {
            bool quoted = false;
            qsizetype end = textLine.size();
            for (qsizetype i = 0; i < textLine.size(); ++i) {
                if (textLine.at(i) == QLatin1Char('\'')) {
                    quoted = !quoted;
                } else if (!quoted && textLine.mid(i, 2) == QLatin1String("--")) {
                    end = i;
                    break;
                }
            }
            parts << textLine.left(end).trimmed();
        }
        parts.removeAll(QString());
        file.write(parts.join(QLatin1Char(' ')).toUtf8() + '\n');
    }
}

StatementCapture* StatementCapture::active() {
    return activeCapture();
}

QStringList StatementCapture::texts() const {
    QStringList out;
    for (const Statement& statement : statements_)
        out << statement.text;
    return out;
}

Recordset StatementCapture::record(const QString& text, const QVariantList& params) {
    statements_.append({text, params});
    return results_.isEmpty() ? Recordset() : results_.takeFirst();
}

int StatementCapture::recordWrite(const QString& text, const QVariantList& params) {
    statements_.append({text, params});
    return writeRows_;
}

} // namespace modDA
