#pragma once

#include "runtime/VbError.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QPushButton;

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
// The same for a handler written with numbered lines: the box reads the description, a blank
// line, "Corvelix.<form>.<handler>.::", the chain, then " linea <line>".
bool runNumberedHandler(const QObject& form, const QString& handler,
                        const std::function<void(int& line)>& fn, const GuardOptions& options = {});

// The activation work of a form, run under runHandler(window, "Form_Activate") from a 0 ms
// timer after the show, so the window is on screen first. A box or a file dialog closing over
// the window never runs it again.
class FirstActivation : public QObject {
public:
    // Once per showing: hiding the window and showing it again runs it again.
    FirstActivation(QWidget& window, std::function<void()> work);
    // Until `done` holds (a start-up that failed is tried again): at every showing, and each
    // time the window becomes active again after another window of the program (not a box or
    // a file dialog) had taken over.
    FirstActivation(QWidget& window, std::function<void()> work, std::function<bool()> done);

    // Whether the work ran in the current showing (once-per-showing mode).
    [[nodiscard]] bool ran() const { return ran_; }
    // Runs the work now when it is due and not already running.
    void activate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();

    QPointer<QWidget> window_;
    std::function<void()> work_;
    std::function<bool()> done_;
    bool scheduled_ = false;
    bool ran_ = false;
    bool running_ = false;
    bool gaveWayToForm_ = false;
};

// A push button named `name` that Enter presses only when it has the focus (not auto-default).
QPushButton* plainButton(QWidget* parent, const char* name, const QString& text);

// A value that outlives the forms (a first-start flag, a remembered default). Each one goes
// back to its initial value when the tests reset the process between test functions.
// registerProcessReset returns a handle for unregisterProcessReset.
int registerProcessReset(std::function<void()> reset);
void unregisterProcessReset(int handle);
void resetProcessStatics();

template <class T> class ProcessStatic {
public:
    explicit ProcessStatic(T initial)
        : initial_(initial), value_(std::move(initial)),
          handle_(registerProcessReset([this] { value_ = initial_; })) {}
    ~ProcessStatic() { unregisterProcessReset(handle_); }
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
    int handle_;
};

} // namespace corvelix
