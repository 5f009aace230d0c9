#include "support/TestXServer.h"

#include <QElapsedTimer>
#include <QProcess>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace corvelix::test {

struct TestXServer::Private {
    QProcess process;
    QByteArray name;
    Display* display = nullptr;
    QList<Window> created;
};

TestXServer::TestXServer() : d(std::make_unique<Private>()) {}

TestXServer::~TestXServer() {
    if (d->display != nullptr) {
        closeAll();
        XCloseDisplay(d->display);
    }
    if (d->process.state() != QProcess::NotRunning) {
        d->process.terminate();
        if (!d->process.waitForFinished(5000))
            d->process.kill();
        d->process.waitForFinished(2000);
    }
}

bool TestXServer::start(QString* why) {
    d->process.setProgram(QStringLiteral("Xvfb"));
    d->process.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                             QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                             QStringLiteral("-screen"), QStringLiteral("0"),
                             QStringLiteral("640x480x24")});
    d->process.start();
    if (!d->process.waitForStarted(5000)) {
        *why = d->process.errorString();
        return false;
    }
    // The server writes its display number once it accepts connections.
    QByteArray number;
    QElapsedTimer timer;
    timer.start();
    while (!number.contains('\n') && timer.elapsed() < 15000 &&
           d->process.state() == QProcess::Running) {
        d->process.waitForReadyRead(200);
        number += d->process.readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        *why = QStringLiteral("no display number from Xvfb: ") +
               QString::fromLocal8Bit(d->process.readAllStandardError());
        return false;
    }
    d->name = ':' + number.trimmed();
    d->display = XOpenDisplay(d->name.constData());
    if (d->display == nullptr) {
        *why = QStringLiteral("cannot connect to ") + QString::fromLatin1(d->name);
        return false;
    }
    return true;
}

QByteArray TestXServer::name() const {
    return d->name;
}

void TestXServer::open(const QList<TestWindow>& windows) {
    closeAll();
    Display* display = d->display;
    const Window root = DefaultRootWindow(display);
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    for (const TestWindow& spec : windows) {
        const Window top = XCreateSimpleWindow(display, root, 0, 0, 200, 100, 0, 0, 0);
        Window client = top;
        if (spec.framed) {
            client = XCreateSimpleWindow(display, top, 0, 20, 200, 80, 0, 0, 0);
            const long state[2] = {1, 0}; // NormalState, no icon
            XChangeProperty(display, client, wmState, wmState, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(state), 2);
            XMapWindow(display, client);
        }
        if (!spec.netName.isEmpty()) {
            const QByteArray bytes = spec.netName.toUtf8();
            XChangeProperty(display, client, netName, utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(bytes.constData()),
                            static_cast<int>(bytes.size()));
        }
        if (!spec.legacyName.isEmpty())
            XStoreName(display, client, spec.legacyName.toLatin1().constData());
        XMapWindow(display, top);
        d->created << top;
    }
    XSync(display, False);
}

void TestXServer::raise(int index) {
    XRaiseWindow(d->display, d->created.at(index));
    XSync(d->display, False);
}

void TestXServer::closeAll() {
    if (d->display == nullptr)
        return;
    for (const Window w : d->created)
        XDestroyWindow(d->display, w);
    d->created.clear();
    XSync(d->display, False);
}

void TestDisplay::start() {
    savedDisplay_ = qgetenv("DISPLAY");
    auto server = std::make_unique<TestXServer>();
    if (server->start(&why_)) {
        server_ = std::move(server);
        qputenv("DISPLAY", server_->name());
    }
}

void TestDisplay::stop() {
    server_.reset();
    if (savedDisplay_.isEmpty())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", savedDisplay_);
}

} // namespace corvelix::test
