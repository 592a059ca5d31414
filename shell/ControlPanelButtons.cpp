// The control panel's buttons.
#include "shell/ControlPanel.h"

#include "editors/SongEdits.h"
#include "engine/AudioEngine.h"
#include "engine/PluginCommands.h"
#include "plugins/Lv2Instrument.h"
#include "shell/BusyCursor.h"
#include "shell/DelayCalculatorDialog.h"
#include "shell/PanelLogic.h"
#include "shell/PanelText.h"
#include "shell/PluginBrowserDialog.h"
#include "shell/PluginEditorWindow.h"
#include "shell/UserMessages.h"

namespace vantreel {

void ControlPanel::OnButton(PanelControlId id) {
    switch (id) {
    case kSlotPrevious:
        StepSlot(engine, -1);
        break;
    case kSlotNext:
        StepSlot(engine, 1);
        break;
    case kProgramPrevious:
        StepProgram(engine, -1);
        MarkPluginChanged();
        break;
    case kProgramNext:
        StepProgram(engine, 1);
        MarkPluginChanged();
        break;
    case kParameterPrevious:
        StepParameter(engine, -1);
        break;
    case kParameterNext:
        StepParameter(engine, 1);
        break;
    case kRandomParameters:
        RandomiseParameters(engine, NextRandom15);
        MarkPluginChanged();
        break;
    case kOpenPlugin:
        OpenPlugin();
        return; // refreshes only when a plug-in was chosen
    case kEditPlugin:
        EditPlugin();
        break;
    case kDeletePlugin:
        DeletePlugin();
        break;
    case kDelayTimes:
        ShowDelayCalculator(engine, messages);
        return;
    case kDelayDialogButton:
    case kReverbDialogButton:
    case kChorusDialogButton:
        if (const auto& open = effectWindows[id]) {
            open();
        }
        return;
    default:
        return;
    }
    Refresh();
}

void ControlPanel::OpenPlugin() {
    PluginBrowserDialog browser(engine, messages, this);
    if (browser.exec() != QDialog::Accepted) {
        return;
    }
    BusyCursor busy;
    const PluginOpenResult result = OpenPluginRecorded(engine, history, browser.SelectedName());
    SetStatus(FromEightBit(result.statusText));
    Refresh();
}

void ControlPanel::EditPlugin() {
    AEffect* effect = engine.CurrentEffect();
    if (!PluginEditorWindow::CanOpen(engine)) {
        ExplainMissingEditor();
        return;
    }
    if (!PluginEditorWindow::PlatformShowsEditors()) {
        QMessageBox box(QMessageBox::Information, "Vantreel", kEditorsNeedX11Text, QMessageBox::Ok,
                        this);
        box.setObjectName("EditorsNeedX11");
        messages.Exec(box);
        return;
    }
    // Slider moves must not reach the song while the plug-in's editor is open.
    ready = false;
    {
        BusyCursor busy;
        PluginEditorWindow window(engine, *effect, this);
        busy.Release();
        window.exec();
    }
    ready = true;
    MarkPluginChanged(); // its knobs may have been turned
}

// A VST 2 plug-in without an editor gets no message, as always; an LV2 instrument
// says why it shows none (no editor at all, or only one that cannot be embedded).
void ControlPanel::ExplainMissingEditor() {
    if (!engine.song.slots[engine.editor.currentSlot].IsInstanced()) {
        return;
    }
    const std::string problem = Lv2EditorProblem(engine.CurrentEffect());
    if (problem.empty()) {
        return;
    }
    QMessageBox box(QMessageBox::Information, "Vantreel", FromEightBit(problem), QMessageBox::Ok,
                    this);
    box.setObjectName("NoPluginEditor");
    messages.Exec(box);
}

void ControlPanel::DeletePlugin() {
    BusyCursor busy;
    DeletePluginRecorded(engine, history, [this, &busy] {
        busy.Release();
        QMessageBox question(QMessageBox::Question, "Vantreel", kClearPatternBankQuestion,
                             QMessageBox::Yes | QMessageBox::No, this);
        question.setObjectName("ClearPatternBankQuestion");
        return messages.Exec(question) == QMessageBox::Yes;
    });
}

void ControlPanel::SetStatus(const QString& text) {
    if (setStatusText) {
        setStatusText(text);
    }
}

} // namespace vantreel
