#pragma once

#include "platform/ProcessRunner.h"
#include "runtime/Ui.h"

#include <QByteArray>
#include <QList>
#include <QString>

// File dialogs, the file writer and the process runner shared by every form.
namespace modAPITools {

// Filter text as callers write it: description, NUL, pattern, NUL, repeated.
QList<corvelix::FileFilter> parseFilters(const QString& filtro);

// The open dialog for the RET files. Returns the chosen path trimmed, or "" when cancelled.
QString OpenFileCommonDialog(const QString& filtro);

// The save dialog. An empty `filtro` offers Excel files and all files; an empty `directorio`
// starts in the current folder; `nombreArchivo` is proposed after limpiarNombreArchivo.
// Returns the path as the user gave it, or "" when cancelled or on any failure.
QString SaveFileCommonDialog(const QString& titulo, const QString& filtro,
                             const QString& directorio, const QString& nombreArchivo);

enum class Encoding { Windows1252, Utf8 };

// Writes `texto` followed by CR LF, in one piece and without a byte-order mark. The text is
// written as given (callers put their own CR LF between lines). The file is replaced only
// when the whole text was written.
void generarArchivo(const QString& ruta, const QString& texto,
                    Encoding encoding = Encoding::Windows1252);
// The same for a text already encoded, given as pieces written one after the other into the
// one file (a large text is then never joined into a second copy).
void generarArchivo(const QString& ruta, const QList<QByteArray>& partes);

// Starts `lineaComando` (first token the program) in `directorio` and waits for its end,
// letting the windows repaint meanwhile. The result tells whether it could be started.
[[nodiscard]] corvelix::ProcessResult ejecutarProceso(const QString& lineaComando,
                                                      const QString& directorio);

// Waits for a started process, letting window events run every 100 ms; returns its exit code.
int esperarProceso(corvelix::ProcessRunner& proceso);

} // namespace modAPITools
