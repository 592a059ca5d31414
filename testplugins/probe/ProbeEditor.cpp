#include "testplugins/probe/ProbeEditor.h"

#include <X11/Xlib.h>

#include <atomic>
#include <thread>
#include <utility>

namespace vantreel::probe {

namespace {

constexpr unsigned long kBackgroundRgb = 0x2060C0;
constexpr unsigned long kInkRgb = 0xF0C020;
constexpr int kInkInset = 8;

// Errors on the display being checked are noted; any other display's go on to the
// handler that was there before.
std::atomic<Display*> checkedDisplay{nullptr};
std::atomic<bool> errorSeen{false};
XErrorHandler previousHandler = nullptr;

int NoteError(Display* display, XErrorEvent* event) {
    if (display == checkedDisplay.load()) {
        errorSeen.store(true);
        return 0;
    }
    return previousHandler != nullptr ? previousHandler(display, event) : 0;
}

// Whether `window` exists on `display`. A host may hand an id of another display (a
// platform without X11): asking about it must not end the process through Xlib's
// default error handler.
bool WindowExists(Display* display, ::Window window) {
    checkedDisplay.store(display);
    errorSeen.store(false);
    previousHandler = XSetErrorHandler(&NoteError);
    XWindowAttributes attributes;
    const Status status = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    XSetErrorHandler(previousHandler);
    checkedDisplay.store(nullptr);
    return status != 0 && !errorSeen.load();
}

unsigned long Colour(Display* display, unsigned long rgb) {
    constexpr unsigned kChannelScale = 257; // 8 bits to 16
    XColor colour{};
    colour.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * kChannelScale);
    colour.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * kChannelScale);
    colour.blue = static_cast<unsigned short>((rgb & 0xFF) * kChannelScale);
    colour.flags = DoRed | DoGreen | DoBlue;
    const int screen = DefaultScreen(display);
    if (XAllocColor(display, DefaultColormap(display, screen), &colour) == 0) {
        return WhitePixel(display, screen);
    }
    return colour.pixel;
}

Display* AsDisplay(void* display) {
    return static_cast<Display*>(display);
}

} // namespace

ProbeEditor::ProbeEditor(SizeRequest requestSize) : requestSize(std::move(requestSize)) {}

ProbeEditor::~ProbeEditor() {
    Close();
}

void ProbeEditor::Open(unsigned long parent, int openWidth, int openHeight) {
    Close();
    open = true;
    grown = false;
    width = openWidth;
    height = openHeight;
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        return;
    }
    if (parent == 0 || !WindowExists(d, parent)) {
        XCloseDisplay(d);
        return;
    }
    display = d;
    const int screen = DefaultScreen(d);
    background = Colour(d, kBackgroundRgb);
    ink = Colour(d, kInkRgb);
    window = XCreateSimpleWindow(d, parent, 0, 0, unsigned(width), unsigned(height), 0,
                                 BlackPixel(d, screen), background);
    XSelectInput(d, window, ExposureMask);
    gc = XCreateGC(d, window, 0, nullptr);
    XMapWindow(d, window);
    // The window exists for every connection once the editor is open.
    XSync(d, False);
}

void ProbeEditor::Idle(int grownWidth, int grownHeight) {
    if (!open) {
        return;
    }
    if (display != nullptr) {
        while (XPending(AsDisplay(display)) > 0) {
            XEvent event;
            XNextEvent(AsDisplay(display), &event);
        }
        Paint();
    }
    if (!grown) {
        grown = true;
        Grow(grownWidth, grownHeight);
    }
}

void ProbeEditor::Grow(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
    if (display != nullptr) {
        XResizeWindow(AsDisplay(display), window, unsigned(width), unsigned(height));
        Paint();
    }
    // Editors that draw on threads of their own ask from there.
    std::thread asker([this] { requestSize(width, height); });
    asker.join();
}

void ProbeEditor::Paint() {
    Display* d = AsDisplay(display);
    auto context = static_cast<GC>(gc);
    XSetForeground(d, context, ink);
    XFillRectangle(d, window, context, kInkInset, kInkInset, unsigned(width / 2),
                   unsigned(height / 2));
    XFlush(d);
}

void ProbeEditor::Close() {
    if (display != nullptr) {
        Display* d = AsDisplay(display);
        XFreeGC(d, static_cast<GC>(gc));
        XDestroyWindow(d, window);
        XCloseDisplay(d);
    }
    display = nullptr;
    gc = nullptr;
    window = 0;
    open = false;
}

} // namespace vantreel::probe
