#include "shell/PluginEditorWindow.h"

#include "engine/AudioEngine.h"
#include "shell/BusyCursor.h"
#include "shell/PanelText.h"

#include <QTimerEvent>

#include <algorithm>

namespace vantreel {

namespace {

const char* const kHostWindowName = "WndEnv";
constexpr int kInitialHostSize = 4;
// The margins every editor has had around the rectangle it asks for.
constexpr int kExtraWidth = 8;
constexpr int kExtraHeight = 3;

} // namespace

bool PluginEditorWindow::CanOpen(const AudioEngine& engine) {
    const int slot = engine.editor.currentSlot;
    const AEffect* effect = engine.effect[slot];
    return engine.song.slots[slot].IsInstanced() && effect != nullptr &&
           (effect->flags & effFlagsHasEditor) != 0;
}

QSize PluginEditorWindow::HostSizeFor(const ERect& rect) {
    // A rectangle turned inside out counts as empty rather than as a huge window.
    const int width = std::max(rect.right - rect.left, 0);
    const int height = std::max(rect.bottom - rect.top, 0);
    return QSize(width + kExtraWidth, height + kExtraHeight);
}

PluginEditorWindow::PluginEditorWindow(AudioEngine& engine, AEffect& effect, QWidget* parent)
    : QDialog(parent), engine(engine), effect(effect), host(new QWidget(this)) {
    setObjectName("PluginEditorWindow");
    const char* name = engine.song.slots[engine.editor.currentSlot].dllName;
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
    // On X11 the plug-in takes the window id of its parent.
    Dispatch(effEditOpen, 0, reinterpret_cast<void*>(host->winId()));
    editorOpen = true;
    engine.hostContext.SetEditorOpen(&effect, true);
    ERect* rect = nullptr;
    Dispatch(effEditGetRect, 0, &rect);
    const QSize size = HostSizeFor(rect != nullptr ? *rect : ERect{});
    host->resize(size);
    // The window manager adds the caption and the edges around this.
    setFixedSize(size);
    Dispatch(effEditTop);
}

void PluginEditorWindow::CloseEditor() {
    if (!editorOpen) {
        return;
    }
    idleTimer.stop();
    editorOpen = false;
    engine.hostContext.SetEditorOpen(&effect, false);
    Dispatch(effEditClose);
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
        Dispatch(effEditIdle);
    }
    QDialog::timerEvent(event);
}

VstIntPtr PluginEditorWindow::Dispatch(VstInt32 opcode, VstIntPtr value, void* ptr) {
    return effect.dispatcher(&effect, opcode, 0, value, ptr, 0.0f);
}

} // namespace vantreel
