#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QRect>
#include <QString>
#include <QTest>

#include <memory>

// A private Xvfb server for window-watch tests, and top-level windows created on it.
// Kept apart from the tests so that Xlib's macros stay out of Qt's headers.
namespace corvelix::test {

// One client window: a title in _NET_WM_NAME, in WM_NAME or in both.
struct TestWindow {
    QString netName;     // UTF-8 _NET_WM_NAME; empty: not set
    QString legacyName;  // Latin-1 WM_NAME; empty: not set
    bool framed = false; // inside a frame window, as a reparenting window manager puts it
};

class TestXServer {
public:
    TestXServer();
    ~TestXServer();
    TestXServer(const TestXServer&) = delete;
    TestXServer& operator=(const TestXServer&) = delete;

    // Starts Xvfb on a free display with one screen of `screen` (WxHxDepth); false (and the
    // reason) when it cannot.
    bool start(QString* why, const QString& screen = QStringLiteral("640x480x24"));
    // Starts a window manager ("openbox" or "twm") on the display and waits until it manages
    // windows; false (and the reason) when it could not be started.
    bool startWindowManager(QString* why, const QString& windowManager = QStringLiteral("openbox"));
    // A real click of `button` (1 left, 3 right) at the screen point, through the XTEST
    // extension; false when the server lacks it.
    bool click(int x, int y, int button);
    // The frame around a window of the test process as the X server has it: the window the
    // window manager put it in, border included, in root coordinates; a null rectangle while
    // no frame holds it.
    [[nodiscard]] QRect frameOf(quintptr window) const;
    // What the screen shows in `rect` (root coordinates) now, whoever painted it. Only one
    // thread may use the server object at a time.
    [[nodiscard]] QImage grab(const QRect& rect) const;
    // ":<n>", for DISPLAY.
    [[nodiscard]] QByteArray name() const;

    // Replaces the test's windows; created bottom-most first, each new one on top.
    void open(const QList<TestWindow>& windows);
    // Puts the window created at `index` on top of the others.
    void raise(int index);
    void closeAll();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// For test classes that need real windows: when CORVELIX_TEST_DESKTOP is set, a private Xvfb
// with a window manager (twm when the variable says "twm", openbox otherwise) becomes the
// process's display and Qt's platform is xcb. Called before
// the application object is made. Without them the platform stays offscreen and
// desktopProblem() says why.
void startDesktopIfAsked();
[[nodiscard]] TestXServer* desktopServer();
[[nodiscard]] QString desktopProblem();

// Under CI (the variable CI set, as every CI sets it) the machine is set up for the tests that
// need a display: one that cannot have it fails there, and is skipped elsewhere.
[[nodiscard]] bool underCi();

// Leaves the running test function for want of the display it needs, saying why: a failure
// under CI, a skip elsewhere.
#define CORVELIX_WITHOUT_DISPLAY(why)                                                              \
    do {                                                                                           \
        const QString why_ = (why);                                                                \
        if (corvelix::test::underCi())                                                             \
            QFAIL(qPrintable(why_));                                                               \
        QSKIP(qPrintable(why_));                                                                   \
    } while (false)

// A private server as the display of one test class: start() in initTestCase sets DISPLAY to
// it, stop() in cleanupTestCase puts the previous DISPLAY back. Without Xvfb, server() is null
// and why() says why.
class TestDisplay {
public:
    void start();
    void stop();
    [[nodiscard]] TestXServer* server() const { return server_.get(); }
    [[nodiscard]] const QString& why() const { return why_; }

private:
    std::unique_ptr<TestXServer> server_;
    QByteArray savedDisplay_;
    QString why_;
};

} // namespace corvelix::test

Q_DECLARE_METATYPE(corvelix::test::TestWindow)
