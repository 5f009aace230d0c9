#include "workbook_export/WorkbookFile.h"

#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "shell/modAPITools.h"

#include <QScopeGuard>

using corvelix::ui;

namespace workbook {

namespace {

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

QString proposedFileName(const QString& iddt, const QString& referencia) {
    QString numero = iddt;
    numero.remove(QLatin1Char('@'));
    return trimBlanks(numero + QLatin1Char(' ') + referencia) + QStringLiteral(".xls");
}

QString withXlsExtension(const QString& path) {
    if (path.right(3).toLower() == QLatin1String("xls"))
        return path;
    return path + QStringLiteral(".xls");
}

void exportWorkbook(const Export& spec, const QString& proposedName) {
    // The pointer is normal whenever the driver returns, cancelled or failed included.
    const auto normal = qScopeGuard([&spec] {
        if (spec.setsPointer)
            ui().setBusy(false);
    });
    try {
        QString ruta =
            modAPITools::SaveFileCommonDialog(spec.dialogTitle, QString(), QString(), proposedName);
        if (ruta.isEmpty())
            return;
        ruta = withXlsExtension(ruta);
        if (spec.setsPointer)
            ui().setBusy(true);
        const WorkbookParts libro = spec.build();
        if (spec.refusal) {
            const QString warning = spec.refusal(libro);
            if (!warning.isEmpty()) {
                ui().msgBox(warning, corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
                return;
            }
        }
        // Some sheets put the pointer back when they end; the write still belongs to the work.
        if (spec.setsPointer)
            ui().setBusy(true);
        ui().processEvents();
        modAPITools::generarArchivo(ruta, libro.parts);
        if (spec.setsPointer)
            ui().setBusy(false);
        ui().msgBox(QStringLiteral("Se genero el archivo ") + ruta, corvelix::MsgButtons::Ok,
                    corvelix::MsgIcon::Information);
    } catch (const std::exception&) {
        const corvelix::VbError error = corvelix::currentError();
        if (spec.setsPointer)
            ui().setBusy(false);
        ui().msgBox(error.description + QStringLiteral(" - ") + spec.driver +
                        QStringLiteral(":: ") + error.source,
                    corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
    }
}

} // namespace workbook
