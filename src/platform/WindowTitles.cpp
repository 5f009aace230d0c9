#include "platform/WindowTitles.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <QByteArray>

#include <memory>

namespace corvelix {

namespace {

// Windows can vanish while we walk the tree; Xlib's default handler would end the process.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};

class ErrorHandlerScope {
public:
    explicit ErrorHandlerScope(Display* display)
        : display_(display), previous_(XSetErrorHandler(ignoreXError)) {}
    ~ErrorHandlerScope() {
        XSync(display_, False); // collect pending errors under our handler
        XSetErrorHandler(previous_);
    }
    ErrorHandlerScope(const ErrorHandlerScope&) = delete;
    ErrorHandlerScope& operator=(const ErrorHandlerScope&) = delete;

private:
    Display* display_;
    XErrorHandler previous_;
};

struct XFreeDeleter {
    void operator()(void* p) const {
        if (p != nullptr)
            XFree(p);
    }
};

QList<Window> childrenOf(Display* display, Window window) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    QList<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0)
        return result;
    std::unique_ptr<Window, XFreeDeleter> owned(children);
    result.reserve(static_cast<qsizetype>(count));
    for (unsigned int i = 0; i < count; ++i)
        result.append(children[i]);
    return result; // bottom-most first, as X stacks them
}

bool hasProperty(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType,
                                          &type, &format, &items, &after, &data);
    std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    return status == Success && type != None;
}

// The client inside a window manager's frame: the first descendant carrying WM_STATE.
Window clientWindow(Display* display, Window window, Atom wmState, int depth = 0) {
    if (hasProperty(display, window, wmState))
        return window;
    if (depth > 3)
        return 0;
    for (Window child : childrenOf(display, window)) {
        if (const Window found = clientWindow(display, child, wmState, depth + 1); found != 0)
            return found;
    }
    return 0;
}

QString utf8NetName(Display* display, Window window, Atom netWmName, Atom utf8String) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, netWmName, 0, 64 * 1024, False,
                                          utf8String, &type, &format, &items, &after, &data);
    std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    if (status != Success || type != utf8String || format != 8 || data == nullptr)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(items));
}

QString legacyName(Display* display, Window window, Atom utf8String) {
    XTextProperty property{};
    if (XGetWMName(display, window, &property) == 0 || property.value == nullptr)
        return {};
    std::unique_ptr<unsigned char, XFreeDeleter> owned(property.value);
    const auto* bytes = reinterpret_cast<const char*>(property.value);
    const auto size = static_cast<qsizetype>(property.nitems);
    if (property.encoding == XA_STRING)
        return QString::fromLatin1(bytes, size);
    if (property.encoding == utf8String)
        return QString::fromUtf8(bytes, size);
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &property, &list, &count) == Success && count > 0) {
        QString text = QString::fromUtf8(list[0]);
        XFreeStringList(list);
        return text;
    }
    return QString::fromLocal8Bit(bytes, size);
}

} // namespace

QList<TopLevelWindow> topLevelWindows() {
    QList<TopLevelWindow> windows;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return windows;
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display)
        return windows;
    Display* d = display.get();
    ErrorHandlerScope errors(d);

    const Atom wmState = XInternAtom(d, "WM_STATE", False);
    const Atom netWmName = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom utf8String = XInternAtom(d, "UTF8_STRING", False);

    const QList<Window> stack = childrenOf(d, DefaultRootWindow(d));
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        // Under a reparenting window manager the top-level is a frame around the client.
        Window window = clientWindow(d, *it, wmState);
        if (window == 0)
            window = *it;
        QString title = utf8NetName(d, window, netWmName, utf8String);
        if (title.isEmpty())
            title = legacyName(d, window, utf8String);
        windows.append({static_cast<quintptr>(window), title});
    }
    return windows;
}

} // namespace corvelix
