#include "runtime/FormKit.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

#include <map>

namespace corvelix {

QString handlerLocation(const QString& form, const QString& handler, int line) {
    return QStringLiteral("Corvelix.") + form + QLatin1Char('.') + handler + QStringLiteral(" (") +
           QString::number(line) + QStringLiteral(")::");
}

bool runHandler(const QObject& form, const QString& handler, const std::function<void()>& fn,
                const GuardOptions& options) {
    return guardEvent(handlerLocation(form.objectName(), handler), fn, options);
}

bool runHandler(const QObject& form, const QString& handler,
                const std::function<void(int& line)>& fn, const GuardOptions& options) {
    int line = 0;
    GuardOptions withLine = options;
    const QString name = form.objectName();
    if (!withLine.compose)
        withLine.compose = [&](const VbError& error) {
            return chainMessage(error, handlerLocation(name, handler, line));
        };
    return guardEvent(
        {}, [&] { fn(line); }, withLine);
}

bool runNumberedHandler(const QObject& form, const QString& handler,
                        const std::function<void(int& line)>& fn, const GuardOptions& options) {
    int line = 0;
    GuardOptions numbered = options;
    const QString location =
        QStringLiteral("Corvelix.") + form.objectName() + QLatin1Char('.') + handler;
    if (!numbered.compose)
        numbered.compose = [&](const VbError& error) {
            return error.description + QStringLiteral("\n\n") + location + QStringLiteral(".::") +
                   error.source + QStringLiteral(" linea ") + QString::number(line);
        };
    return guardEvent(
        {}, [&] { fn(line); }, numbered);
}

FirstActivation::FirstActivation(QWidget& window, std::function<void()> work)
    : QObject(&window), window_(&window), work_(std::move(work)) {
    window.installEventFilter(this);
}

FirstActivation::FirstActivation(QWidget& window, std::function<void()> work,
                                 std::function<bool()> done)
    : FirstActivation(window, std::move(work)) {
    done_ = std::move(done);
}

void FirstActivation::schedule() {
    if (scheduled_)
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        if (window_ && window_->isVisible())
            activate();
    });
}

void FirstActivation::activate() {
    // A box shown by the work must not start it a second time.
    if (!window_ || running_)
        return;
    if (done_ ? done_() : ran_)
        return;
    ran_ = true;
    running_ = true;
    const auto finished = qScopeGuard([this] { running_ = false; });
    runHandler(*window_, QStringLiteral("Form_Activate"), work_);
}

bool FirstActivation::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
        // A window restored from the task bar is no new showing.
        if (!event->spontaneous())
            schedule();
        break;
    case QEvent::Hide:
        if (!event->spontaneous()) {
            ran_ = false;
            gaveWayToForm_ = false;
        }
        break;
    case QEvent::ActivationChange:
        if (!done_)
            break;
        if (!window_->isActiveWindow()) {
            // Boxes and file dialogs are no forms; another application neither.
            QWidget* now = QApplication::activeWindow();
            gaveWayToForm_ = now != nullptr && now != window_ &&
                             qobject_cast<QMessageBox*>(now) == nullptr &&
                             qobject_cast<QFileDialog*>(now) == nullptr;
        } else if (gaveWayToForm_) {
            gaveWayToForm_ = false;
            schedule();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

namespace {
struct Resets {
    int next = 0;
    std::map<int, std::function<void()>> all;
};
Resets& resets() {
    static Resets registry;
    return registry;
}
} // namespace

int registerProcessReset(std::function<void()> reset) {
    Resets& registry = resets();
    const int handle = ++registry.next;
    registry.all.emplace(handle, std::move(reset));
    return handle;
}

void unregisterProcessReset(int handle) {
    resets().all.erase(handle);
}

void resetProcessStatics() {
    for (const auto& [handle, reset] : resets().all)
        reset();
}

QPushButton* plainButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace corvelix
