#pragma once
// The probe's editor: the least an X11 plug-in editor does. It opens its own
// connection to the display, puts a window of its own into the window the host hands
// it, paints it, and once, on its first idle call, asks the host from a thread of
// its own to grow the editor.
//
// Threads: the host's user-interface thread (the dispatcher's editor calls); the
// one request to grow comes from a short-lived thread of the editor's own.

#include "plugins/VstAbi.h"

#include <functional>

namespace vantreel::probe {

class ProbeEditor {
public:
    // Asks the host for a new size (width, height); returns the host's answer.
    using SizeRequest = std::function<VstIntPtr(int width, int height)>;

    explicit ProbeEditor(SizeRequest requestSize);
    ~ProbeEditor();
    ProbeEditor(const ProbeEditor&) = delete;
    ProbeEditor& operator=(const ProbeEditor&) = delete;

    // Opens inside the X window `parent`. Without a display, or with a parent the
    // display does not know, the editor stays open but has no window.
    void Open(unsigned long parent, int width, int height);
    // Paints, and on the first call asks the host to grow to the grown size.
    void Idle(int grownWidth, int grownHeight);
    void Close();

    bool IsOpen() const { return open; }
    // The editor's own window, 0 when it has none.
    unsigned long Window() const { return window; }
    int Width() const { return width; }
    int Height() const { return height; }

private:
    void Paint();
    void Grow(int newWidth, int newHeight);

    SizeRequest requestSize;
    void* display = nullptr; // Display*, kept out of this header
    unsigned long window = 0;
    void* gc = nullptr;
    unsigned long background = 0;
    unsigned long ink = 0;
    bool open = false;
    bool grown = false;
    int width = 0;
    int height = 0;
};

} // namespace vantreel::probe
