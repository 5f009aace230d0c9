#pragma once

#include "runtime/VbError.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

// What every form needs around its handlers: the error guard with the form's location, the
// activation work of a showing, and values that live as long as the process.
namespace corvelix {

// "Corvelix.<form>.<handler> (<line>)::"
QString handlerLocation(const QString& form, const QString& handler, int line = 0);

// Runs a handler of `form` (its objectName is the form's name) under the error guard: a
// failure shows one box with "Corvelix.<form>.<handler> (<line>)::" in front of the chain,
// resets the busy pointer and returns false. The variant taking `int& line` lets the handler
// move its line number as it advances; the box shows the line reached.
bool runHandler(const QObject& form, const QString& handler, const std::function<void()>& fn,
                const GuardOptions& options = {});
bool runHandler(const QObject& form, const QString& handler,
                const std::function<void(int& line)>& fn, const GuardOptions& options = {});

// The activation work of a form: runs once per showing of `window`, from a 0 ms timer after
// the show, so the window is on screen first. A box or another form closing over the window
// does not run it again; hiding the window and showing it again does.
class FirstActivation : public QObject {
public:
    FirstActivation(QWidget& window, std::function<void()> work);
    // Whether the work already ran in the current showing.
    [[nodiscard]] bool ran() const { return ran_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    std::function<void()> work_;
    bool scheduled_ = false;
    bool ran_ = false;
};

// A value that outlives the forms (a first-start flag, a remembered default). Each one goes
// back to its initial value when the tests reset the process between test functions.
void registerProcessReset(std::function<void()> reset);
void resetProcessStatics();

template <class T> class ProcessStatic {
public:
    explicit ProcessStatic(T initial) : initial_(initial), value_(std::move(initial)) {
        registerProcessReset([this] { value_ = initial_; });
    }
    ProcessStatic(const ProcessStatic&) = delete;
    ProcessStatic& operator=(const ProcessStatic&) = delete;

    ProcessStatic& operator=(T value) {
        value_ = std::move(value);
        return *this;
    }
    operator const T&() const { return value_; } // NOLINT(google-explicit-constructor)
    [[nodiscard]] const T& get() const { return value_; }
    T& ref() { return value_; }

private:
    const T initial_;
    T value_;
};

} // namespace corvelix
