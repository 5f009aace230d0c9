#pragma once

#include <QFileDevice>
#include <QNetworkReply>
#include <QProcess>
#include <QString>
#include <QXmlStreamReader>

// The reasons the libraries give for a failure, as short Spanish phrases that fit after a
// colon inside one of our messages ("No se puede leer el archivo X: <razón>"). The libraries'
// own texts are English (or follow the machine's language), so they are never shown.
namespace corvelix {

QString fileErrorReason(QFileDevice::FileError error);
// `httpStatus`: the server's status when it answered with an error one (0 when there was no
// answer); it is named in the phrase.
QString networkErrorReason(QNetworkReply::NetworkError error, int httpStatus = 0);
QString processErrorReason(QProcess::ProcessError error);
// NoError stands for a document the stream reads but the DOM refuses (a second DOCTYPE).
QString xmlErrorReason(QXmlStreamReader::Error error);

// The program's two SQLite files: the declaration catalog, and its own local database (the
// SIMI work rows, shared with the sibling program).
enum class SqliteFile { Catalog, LocalDatabase };
// A failure of a SQLite file: its result code (primary or extended) and the engine's own
// text, read only for the names it gives (a missing table or column, the column of a broken
// rule) and for the message of a trigger that refused a change. The phrase names the file.
QString sqliteErrorReason(int resultCode, const QString& engineText,
                          SqliteFile file = SqliteFile::Catalog);
// A failure on a catalog server, by the ODBC state (SQLSTATE, five characters; empty when
// the driver gave none).
QString odbcErrorReason(const QString& sqlState);

} // namespace corvelix
