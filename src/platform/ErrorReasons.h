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

} // namespace corvelix
