#pragma once

#include "runtime/Ui.h"

#include <QString>

#include <exception>
#include <functional>
#include <string>

namespace corvelix {

// An error as the program reports it: a number, the chain of locations it passed through
// (outermost first) and a description.
class VbError : public std::exception {
public:
    VbError(qint32 number, QString source, QString description);

    qint32 number;
    QString source;
    QString description;

    const char* what() const noexcept override;

private:
    std::string what_;
};

// A refusal of the data layer instead of the work asked for (the row is there already, an
// amount out of range): nothing was written, and the form shows the text as a warning, alone.
// It passes through every location of the chain unchanged.
class Refusal : public VbError {
public:
    explicit Refusal(const QString& text);
};

// Shows a refusal as the form shows it: the text with the warning icon.
void showRefusal(const Refusal& refusal);

// The number every procedure re-raises under.
inline constexpr qint32 kErrChained = static_cast<qint32>(0x80043039u);
// Number given to failures that did not start as a VbError (std::exception and the like).
inline constexpr qint32 kErrInternal = static_cast<qint32>(0x80004005u);

// "Corvelix.<Object>.<Procedure> (<line>)::" + chain; description unchanged.
[[noreturn]] void reraise(const VbError& error, const QString& location, int line = 0);
// "Corvelix.<Object>.<Procedure>.::" + chain; description + " linea <line>".
[[noreturn]] void reraiseNumbered(const VbError& error, const QString& location, int line);

// Any exception in flight as a VbError (call inside a catch block).
VbError currentError();

// Runs fn; whatever it throws comes back re-raised under `location` with its line.
// The line is read after the failure, so numbered procedures can keep it in a variable.
template <class F> decltype(auto) chained(const QString& location, F&& fn, const int& line = 0) {
    try {
        return std::forward<F>(fn)();
    } catch (const Refusal&) {
        throw;
    } catch (...) {
        reraise(currentError(), location, line);
    }
}

template <class F>
decltype(auto) chainedNumbered(const QString& location, const int& line, F&& fn) {
    try {
        return std::forward<F>(fn)();
    } catch (const Refusal&) {
        throw;
    } catch (...) {
        reraiseNumbered(currentError(), location, line);
    }
}

// The usual text of the box at the top of the chain:
// description, a blank line, then `locationText` followed by the error's source chain.
QString chainMessage(const VbError& error, const QString& locationText);

struct GuardOptions {
    MsgIcon icon = MsgIcon::None;
    QString title;
    // Builds the box text; the default is chainMessage(error, location).
    std::function<QString(const VbError&)> compose;
};

// Top of the chain for everything the user starts: runs fn, and on failure shows one message
// box (a refusal as showRefusal does), resets the busy pointer and returns false. Nothing escapes
// into the event loop. `location` is the complete location text, for example
// "Corvelix.frmMain.Form_Activate (0)::".
bool guardEvent(const QString& location, const std::function<void()>& fn,
                const GuardOptions& options = {});

} // namespace corvelix
