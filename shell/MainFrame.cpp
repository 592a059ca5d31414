#include "shell/MainFrame.h"

#include "engine/RenderSettings.h"

#include "shell/AudioSetupDialog.h"
#include "shell/AudioSetupStore.h"
#include "shell/ControlPanel.h"
#include "shell/DialogCommands.h"
#include "shell/EditorCommands.h"
#include "shell/EditorView.h"
#include "shell/EffectDialog.h"
#include "shell/Icons.h"
#include "shell/KeypadAccelerators.h"
#include "shell/MainMenu.h"
#include "shell/StatusBar.h"
#include "shell/ToolBar.h"
#include "shell/TransportCommands.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTimer>

#include <atomic>
#include <utility>

namespace vantreel {

namespace {

const char* const kTitle = "Vantreel v0.002";
const char* const kReadyText = "Ready";
const char* const kDropoutText = "Audio dropout";

// Plug-ins ask for a repaint from whatever thread they like; the request waits here
// for the next refresh tick on the user-interface thread.
std::atomic<bool> repaintRequested{false};

void RequestRepaint() {
    repaintRequested.store(true, std::memory_order_relaxed);
}

// The render threads the settings ask for; by default every core but one.
int StoredRenderThreadCount() {
    RegistryStore store;
    return StoredRenderThreads(store, DefaultWindowRenderThreads());
}

std::optional<OutputChoice> StoredOutputChoice(OutputMode output) {
    if (output != OutputMode::Device) {
        return std::nullopt;
    }
    RegistryStore store;
    return LoadOutputChoice(store);
}

} // namespace

CMainFrame::CMainFrame(OutputMode output)
    : storedOutput(StoredOutputChoice(output)),
      engine(std::make_unique<AudioEngine>(output, storedOutput.value_or(OutputChoice{}),
                                           StoredRenderThreadCount())),
      commands(*this), messages(*this), frameStatusBar(std::make_unique<StatusBar>(this)),
      frameToolBar(std::make_unique<ToolBar>(commands, this)),
      controlPanel(std::make_unique<ControlPanel>(*engine, messages, this)),
      view(std::make_unique<EditorView>(*engine, this)), midiInput(*engine, &RequestRepaint) {
    engine->reporter.SetHandler([this](const UserMessage& message) { messages.Show(message); });
    OpenMidiInput();
    view->Controller().refreshControlPanel = [this] { RefreshControlPanel(); };
    view->SetAcceleratorFilter(
        [this](QKeyCombination key) { return commands.IsAcceleratorKey(key); });
    transport = std::make_unique<TransportCommands>(*engine, *view, commands);
    editorCommands = std::make_unique<EditorCommands>(
        *engine, *view, commands, [this](const QString& text) { SetStatusText(text); });
    controlPanel->repaintEditors = [this] { view->Repaint(); };
    controlPanel->setStatusText = [this](const QString& text) { SetStatusText(text); };
    UndoHistory& history = view->Controller().History();
    controlPanel->SetHistory(&history);
    for (const auto& [button, kind] : {std::pair{kDelayDialogButton, EffectWindowKind::Delay},
                                       std::pair{kReverbDialogButton, EffectWindowKind::Reverb},
                                       std::pair{kChorusDialogButton, EffectWindowKind::Chorus}}) {
        controlPanel->SetEffectWindow(button, [this, kind = kind] {
            ShowEffectDialog(*engine, kind, this, &view->Controller().History());
        });
    }
    dialogCommands = std::make_unique<DialogCommands>(
        *engine, messages, *this, commands, [this] { RefreshControlPanel(); },
        [this](const QString& text) { SetStatusText(text); });
    dialogCommands->SetHistory(&history);
    engine->hostContext.SetRepaintHook(&RequestRepaint);
    keypadAccelerators = std::make_unique<KeypadAccelerators>(*this, commands);
    HandleFrameCommands();
    CreateWindowContents();
    ReportOutputAtStart();
}

// An output the user chose that no longer opens is said once the window shows; the
// system's default output failing is no news on a machine without sound.
void CMainFrame::ReportOutputAtStart() {
    if (!storedOutput || engine->OutputProblem().empty()) {
        return;
    }
    QTimer::singleShot(0, this,
                       [this] { messages.Show(OutputFailureMessage(engine->OutputProblem())); });
}

CMainFrame::~CMainFrame() {
    refreshTimer.stop();
    statusTimer.stop();
    engine->reporter.SetHandler({});
    engine->hostContext.SetRepaintHook(nullptr);
    keypadAccelerators.reset();
    dialogCommands.reset();
    editorCommands.reset();
    transport.reset();
    midiInput.CloseAll();              // no message may reach the engine from here on
    controlPanel->SetHistory(nullptr); // the history goes with the view
    view.reset();
    controlPanel.reset();
    frameToolBar.reset();
    frameStatusBar.reset();
    engine.reset(); // closes the output stream, then every plug-in
    if (busyCursorShown) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void CMainFrame::CreateWindowContents() {
    setWindowTitle(kTitle);
    setWindowIcon(ApplicationIcon());
    setCentralWidget(view.get());
    addToolBar(Qt::TopToolBarArea, frameToolBar.get());
    setStatusBar(frameStatusBar.get());
    addDockWidget(Qt::LeftDockWidgetArea, controlPanel.get());
    BuildMainMenu(*menuBar(), commands);
    setDockOptions(QMainWindow::AnimatedDocks);
    setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    setFocusProxy(view.get());
    view->setFocus();
    SetStatusText(kReadyText);
    UpdateCommandChecks();
    RefreshControlPanel();
    refreshTimer.start(kRefreshMilliseconds, this);
    statusTimer.start(kStatusMilliseconds, this);
}

// A port that fails is reported here, on the user-interface thread, and skipped; the
// status line still counts it.
void CMainFrame::OpenMidiInput() {
    midiInput.OpenAll([this](const UserMessage& message) { messages.Show(message); });
    view->Painter().midiInputRunning = midiInput.DeviceCount() > 0;
}

void CMainFrame::HandleFrameCommands() {
    commands.Handle(kCmdExit, [this] { close(); });
    commands.Handle(kCmdViewToolBar, [this] {
        frameToolBar->setVisible(!frameToolBar->isVisible());
        UpdateCommandChecks();
    });
    commands.Handle(kCmdViewStatusBar, [this] {
        frameStatusBar->setVisible(!frameStatusBar->isVisible());
        UpdateCommandChecks();
    });
}

void CMainFrame::SetStatusText(const QString& text) {
    frameStatusBar->SetMessage(text);
}

void CMainFrame::RefreshControlPanel() {
    // The panel holds itself shut while it is filled, then repaints the view (the
    // pattern title shows the current slot).
    controlPanel->Refresh();
}

bool CMainFrame::PanelReady() const {
    return controlPanel->Ready();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!ConfirmExit()) {
        event->ignore();
        return;
    }
    if (!busyCursorShown) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        busyCursorShown = true;
    }
    event->accept();
}

bool CMainFrame::ConfirmExit() {
    QMessageBox box(QMessageBox::Question, "Vantreel", "Sure to exit?",
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName("ExitQuestion");
    return messages.Exec(box) == QMessageBox::Yes;
}

void CMainFrame::timerEvent(QTimerEvent* event) {
    if (event->timerId() == refreshTimer.timerId()) {
        OnRefreshTimer();
    } else {
        SetStatusText(kReadyText);
    }
}

void CMainFrame::OnRefreshTimer() {
    const int mode = engine->playMode.load();
    // While playing the play line moves; one more paint after it stops shows "Stopped".
    const bool requested = repaintRequested.exchange(false, std::memory_order_relaxed);
    if (requested || mode != kStopped || lastPlayMode != kStopped) {
        view->Repaint();
    }
    lastPlayMode = mode;
    // Idle calls plug-ins asked for on their own threads are made here, on this thread.
    engine->hostContext.ServeIdleRequests();
    ShowDropouts();
    UpdateMeters();
    UpdateCommandChecks();
    messages.ShowPendingReports(engine->reporter);
}

void CMainFrame::ShowDropouts() {
    const uint32_t dropouts = engine->Dropouts();
    if (dropouts != shownDropouts) {
        shownDropouts = dropouts;
        SetStatusText(kDropoutText);
    }
}

void CMainFrame::UpdateMeters() {
    controlPanel->UpdateMeters();
}

void CMainFrame::UpdateCommandChecks() {
    transport->UpdateChecks();
    editorCommands->UpdateChecks();
    commands.SetChecked(kCmdViewToolBar, !frameToolBar->isHidden());
    commands.SetChecked(kCmdViewStatusBar, !frameStatusBar->isHidden());
}

bool CMainFrame::event(QEvent* event) {
    // A highlighted menu item or button shows its prompt in the message pane.
    if (event->type() == QEvent::StatusTip) {
        frameStatusBar->ShowPrompt(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

} // namespace vantreel
