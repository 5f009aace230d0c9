#include "runtime/VbError.h"

#include <new>
#include <optional>

namespace corvelix {

VbError::VbError(qint32 number_, QString source_, QString description_)
    : number(number_), source(std::move(source_)), description(std::move(description_)),
      what_(description.toStdString()) {}

const char* VbError::what() const noexcept {
    return what_.c_str();
}

// The number is never shown: a refusal reaches the user as its text alone.
Refusal::Refusal(const QString& text) : VbError(kErrInternal, QStringLiteral("Corvelix"), text) {}

void showRefusal(const Refusal& refusal) {
    ui().msgBox(refusal.description, MsgButtons::Ok, MsgIcon::Exclamation);
}

void reraise(const VbError& error, const QString& location, int line) {
    throw VbError(kErrChained,
                  location + QStringLiteral(" (") + QString::number(line) + QStringLiteral(")::") +
                      error.source,
                  error.description);
}

void reraiseNumbered(const VbError& error, const QString& location, int line) {
    throw VbError(kErrChained, location + QStringLiteral(".::") + error.source,
                  error.description + QStringLiteral(" linea ") + QString::number(line));
}

VbError currentError() {
    try {
        throw;
    } catch (const VbError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return {kErrInternal, QStringLiteral("Corvelix"), QStringLiteral("Memoria insuficiente")};
    } catch (const std::exception& e) {
        return {kErrInternal, QStringLiteral("Corvelix"), QString::fromLocal8Bit(e.what())};
    }
    // Anything else (a program exit requested by the seam, for one) keeps travelling.
}

QString chainMessage(const VbError& error, const QString& locationText) {
    return error.description + QStringLiteral("\n\n") + locationText + error.source;
}

bool guardEvent(const QString& location, const std::function<void()>& fn,
                const GuardOptions& options) {
    std::optional<VbError> failure;
    try {
        fn();
        return true;
    } catch (const Refusal& refusal) {
        ui().setBusy(false);
        showRefusal(refusal);
        return false;
    } catch (const VbError& e) {
        failure = e;
    } catch (const std::exception&) {
        failure = currentError();
    }
    ui().setBusy(false);
    const QString text =
        options.compose ? options.compose(*failure) : chainMessage(*failure, location);
    ui().msgBox(text, MsgButtons::Ok, options.icon, options.title);
    return false;
}

} // namespace corvelix
