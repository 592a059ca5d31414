#include "shell/PluginEditorWindow.h"

#include "engine/AudioEngine.h"
#include "plugins/PluginCalls.h"
#include "shell/BusyCursor.h"
#include "shell/PanelText.h"
#include "shell/X11Display.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimerEvent>

namespace vantreel {

namespace {

const char* const kHostWindowName = "WndEnv";
constexpr int kInitialHostSize = 4;
// The margins every editor has had around the rectangle it asks for.
constexpr int kExtraWidth = 8;
constexpr int kExtraHeight = 3;

} // namespace

bool PluginEditorWindow::CanOpen(const AudioEngine& engine) {
    const AEffect* effect = engine.CurrentEffect();
    return effect != nullptr && plugin::HasEditor(effect);
}

bool PluginEditorWindow::PlatformShowsEditors() {
    return X11Display() != nullptr;
}

QSize PluginEditorWindow::HostSizeFor(const ERect& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // Some editors leave the rectangle empty until they have drawn once; a window of
    // the margins alone would show nothing of them.
    if (width <= 0 || height <= 0) {
        return HostSizeFor(kDefaultEditorSize);
    }
    return HostSizeFor(EditorSize{width, height});
}

QSize PluginEditorWindow::HostSizeFor(EditorSize size) {
    return QSize(size.width + kExtraWidth, size.height + kExtraHeight);
}

PluginEditorWindow::PluginEditorWindow(AudioEngine& engine, AEffect& effect, QWidget* parent)
    : QDialog(parent), engine(engine), effect(effect), host(new QWidget(this)) {
    setObjectName("PluginEditorWindow");
    char name[kTextSize];
    engine.GetSlotName(engine.editor.currentSlot, name);
    setWindowTitle(FromEightBit(name));
    // Some plug-ins look for their host window here.
    effect.resvd2 = static_cast<VstIntPtr>(winId());
    host->setObjectName(kHostWindowName);
    host->setGeometry(0, 0, kInitialHostSize, kInitialHostSize);
    host->setAttribute(Qt::WA_NativeWindow);
    OpenEditor();
    idleTimer.start(kIdleMilliseconds, this);
}

PluginEditorWindow::~PluginEditorWindow() {
    CloseEditor();
}

void PluginEditorWindow::OpenEditor() {
    const WId window = host->winId();
    // A plug-in that opens its own connection to the X server must find the window
    // there already.
    SyncX11();
    // Sizes asked for while the editor builds itself are kept for after the opening.
    engine.hostContext.SetEditorOpening(&effect);
    // On X11 the plug-in takes the window id of its parent.
    plugin::EditOpen(&effect, reinterpret_cast<void*>(window));
    editorOpen = true;
    engine.hostContext.SetEditorOpen(&effect, true);
    const ERect* rect = plugin::EditGetRect(&effect);
    Resize(rect != nullptr ? HostSizeFor(*rect) : HostSizeFor(kDefaultEditorSize));
    plugin::EditTop(&effect);
    ServeSizeRequest();
}

void PluginEditorWindow::CloseEditor() {
    if (!editorOpen) {
        return;
    }
    idleTimer.stop();
    editorOpen = false;
    engine.hostContext.SetEditorOpen(&effect, false);
    plugin::EditClose(&effect);
}

void PluginEditorWindow::Resize(QSize size) {
    // A plug-in may ask for any size (65543 x 65538 pixels has been seen, gigabytes of
    // window): no larger than the screen can show.
    if (const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen()) {
        size = size.boundedTo(shown->availableSize());
    }
    host->resize(size);
    // The window manager adds the caption and the edges around this.
    setFixedSize(size);
}

void PluginEditorWindow::ServeSizeRequest() {
    if (const auto size = engine.hostContext.TakeEditorSizeRequest(&effect)) {
        Resize(HostSizeFor(*size));
    }
}

void PluginEditorWindow::done(int result) {
    {
        BusyCursor busy;
        CloseEditor();
    }
    QDialog::done(result);
}

void PluginEditorWindow::timerEvent(QTimerEvent* event) {
    if (editorOpen) {
        plugin::EditIdle(&effect);
        ServeSizeRequest();
    }
    QDialog::timerEvent(event);
}

} // namespace vantreel
