#include "support/TestXServer.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryFile>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace corvelix::test {

struct TestXServer::Private {
    QProcess windowManager;
    std::unique_ptr<QTemporaryFile> config;
    QProcess process;
    QByteArray name;
    Display* display = nullptr;
    QList<Window> created;
};

TestXServer::TestXServer() : d(std::make_unique<Private>()) {}

namespace {

void stopProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(2000);
}

} // namespace

TestXServer::~TestXServer() {
    if (d->display != nullptr) {
        closeAll();
        XCloseDisplay(d->display);
    }
    stopProcess(d->windowManager);
    stopProcess(d->process);
}

bool TestXServer::start(QString* why, const QString& screen) {
    d->process.setProgram(QStringLiteral("Xvfb"));
    d->process.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                             QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                             QStringLiteral("-screen"), QStringLiteral("0"), screen});
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

namespace {

// A window manager takes the redirection of the root window's children: whoever holds it
// shows up in the events some client selected on the root.
bool rootRedirected(Display* display) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, DefaultRootWindow(display), &attributes) != 0 &&
           (attributes.all_event_masks & SubstructureRedirectMask) != 0;
}

// twm asks where to put a window that gives no position unless told to place it itself; its
// usual fonts are not among the few a bare Xvfb has. Dialogs are framed, as twm's system-wide
// configuration has it.
constexpr char kTwmConfig[] = "RandomPlacement\nUsePPosition \"on\"\nNoGrabServer\n"
                              "DecorateTransients\n"
                              "TitleFont \"fixed\"\nResizeFont \"fixed\"\nMenuFont \"fixed\"\n"
                              "IconFont \"fixed\"\nIconManagerFont \"fixed\"\n";

} // namespace

bool TestXServer::startWindowManager(QString* why, const QString& windowManager) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(d->name));
    d->windowManager.setProcessEnvironment(env);
    d->windowManager.setProgram(windowManager);
    if (windowManager == QLatin1String("twm")) {
        d->config = std::make_unique<QTemporaryFile>();
        if (!d->config->open() || d->config->write(kTwmConfig) < 0 || !d->config->flush()) {
            *why = QStringLiteral("twm: no configuration file");
            return false;
        }
        d->windowManager.setArguments({QStringLiteral("-f"), d->config->fileName()});
        // Fonts for Latin-1 alone: in a UTF-8 locale twm warns of every script it has none for.
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        d->windowManager.setProcessEnvironment(env);
    } else {
        d->windowManager.setArguments({QStringLiteral("--sm-disable")});
    }
    d->windowManager.start();
    if (!d->windowManager.waitForStarted(5000)) {
        *why = windowManager + QStringLiteral(": ") + d->windowManager.errorString();
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 15000 && d->windowManager.state() == QProcess::Running) {
        if (rootRedirected(d->display))
            return true;
        d->windowManager.waitForFinished(50);
    }
    *why = windowManager + QStringLiteral(" did not take the display: ") +
           QString::fromLocal8Bit(d->windowManager.readAllStandardError());
    return false;
}

bool TestXServer::click(int x, int y, int button) {
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(d->display, &event, &error, &major, &minor))
        return false;
    const auto number = static_cast<unsigned int>(button);
    XTestFakeMotionEvent(d->display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(d->display, number, True, CurrentTime);
    XTestFakeButtonEvent(d->display, number, False, CurrentTime);
    XSync(d->display, False);
    return true;
}

QRect TestXServer::frameOf(quintptr window) const {
    Display* display = d->display;
    XSync(display, False);
    Window top = window;
    Window root = None;
    for (;;) {
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, top, &root, &parent, &children, &count) == 0)
            return {};
        if (children != nullptr)
            XFree(children);
        if (parent == root || parent == None)
            break;
        top = parent;
    }
    XWindowAttributes frame{};
    if (top == window || XGetWindowAttributes(display, top, &frame) == 0)
        return {};
    return {frame.x, frame.y, frame.width + 2 * frame.border_width,
            frame.height + 2 * frame.border_width};
}

QImage TestXServer::grab(const QRect& rect) const {
    XImage* image = XGetImage(d->display, DefaultRootWindow(d->display), rect.x(), rect.y(),
                              static_cast<unsigned int>(rect.width()),
                              static_cast<unsigned int>(rect.height()), AllPlanes, ZPixmap);
    if (image == nullptr)
        return {};
    QImage result(rect.size(), QImage::Format_RGB32);
    for (int y = 0; y < rect.height(); ++y)
        for (int x = 0; x < rect.width(); ++x)
            result.setPixel(x, y, static_cast<QRgb>(XGetPixel(image, x, y)) | 0xff000000u);
    XDestroyImage(image);
    return result;
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

namespace {

std::unique_ptr<TestXServer>& desktop() {
    static std::unique_ptr<TestXServer> server;
    return server;
}

QString& desktopWhy() {
    static QString why;
    return why;
}

} // namespace

void startDesktopIfAsked() {
    if (!qEnvironmentVariableIsSet("CORVELIX_TEST_DESKTOP"))
        return;
    const QString asked = qEnvironmentVariable("CORVELIX_TEST_DESKTOP");
    const QString windowManager =
        asked == QLatin1String("twm") ? QStringLiteral("twm") : QStringLiteral("openbox");
    auto server = std::make_unique<TestXServer>();
    QString why;
    if (!server->start(&why, QStringLiteral("1024x768x24")) ||
        !server->startWindowManager(&why, windowManager)) {
        desktopWhy() = why;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return;
    }
    qputenv("DISPLAY", server->name());
    qputenv("QT_QPA_PLATFORM", "xcb");
    desktop() = std::move(server);
}

TestXServer* desktopServer() {
    return desktop().get();
}

QString desktopProblem() {
    if (desktop() != nullptr)
        return {};
    return desktopWhy().isEmpty() ? QStringLiteral("CORVELIX_TEST_DESKTOP is not set")
                                  : desktopWhy();
}

bool underCi() {
    return !qEnvironmentVariableIsEmpty("CI");
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
