#include "platform/QtSpanish.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace corvelix {

namespace {

// Qt's Spanish is Spain's: a file is a "fichero" there and an "archivo" here, as in every
// text of ours.
class SpanishTranslator final : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override {
        QString text = QTranslator::translate(context, sourceText, disambiguation, n);
        if (text.isEmpty())
            return text;
        if (text == QLatin1String("Ver en:"))
            return QStringLiteral("Buscar en:");
        text.replace(QLatin1String("fichero"), QLatin1String("archivo"));
        text.replace(QLatin1String("Fichero"), QLatin1String("Archivo"));
        return text;
    }
};

} // namespace

bool installQtSpanish(const QString& folder) {
    auto* app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    const QString where =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto* translator = new SpanishTranslator(app); // lives as long as the application
    if (!translator->load(QStringLiteral("qtbase_es"), where) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace corvelix
