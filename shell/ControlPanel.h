#pragma once
// The control panel docked at the side of the main window: the current slot's
// plug-in (slot, programs, parameters, sends), the master volume and tempo, the
// compressor and the equalizer, and the CPU and VU meters. It holds no state of its
// own: Refresh copies the model into the controls, and every slider move or button
// writes into the model at once.
//
// Threads: the user-interface thread only.

#include "shell/ControlPanelLayout.h"

#include <QDockWidget>

#include <functional>
#include <map>

class QProgressBar;
class QPushButton;
class QSlider;

namespace vantreel {

class AudioEngine;
class PanelText;
class UndoHistory;
class UserMessages;

class ControlPanel : public QDockWidget {
    Q_OBJECT
public:
    ControlPanel(AudioEngine& engine, UserMessages& messages, QWidget* parent = nullptr);

    // Copies the whole model into the panel, then asks for the editors' repaint.
    // While it runs no slider writes into the model.
    void Refresh();
    // The 50 ms tick: the VU and CPU meters.
    void UpdateMeters();

    // False while the panel is being filled and while a plug-in's own editor is open:
    // slider moves then leave the model alone.
    bool Ready() const { return ready; }
    void SetReady(bool isReady) { ready = isReady; }

    // Opens the window of an effect ("Delay", "Reverb", "Chorus"); the button stays
    // disabled until its window is given.
    void SetEffectWindow(PanelControlId button, std::function<void()> open);
    // Where the panel's setting changes and plug-in Open and Delete are recorded;
    // until it is set they are made without.
    void SetHistory(UndoHistory* undoHistory) { history = undoHistory; }

    // The editors' repaint (the pattern title shows the current slot).
    std::function<void()> repaintEditors;
    // The main window's status line.
    std::function<void(const QString&)> setStatusText;

    QSlider* Slider(PanelControlId id) const;
    QPushButton* Button(PanelControlId id) const;
    QProgressBar* Bar(PanelControlId id) const;
    PanelText* Text(PanelControlId id) const;

private:
    void BuildControls(QWidget& form);
    QWidget* CreateControl(const PanelControl& control, QWidget& form);
    void SetSliderRanges();
    void ShowPluginTexts();
    void ShowSliderPositions();
    void SetPosition(PanelControlId id, int position);
    void OnSliderMoved(PanelControlId id, int position);
    void WriteSetting(PanelControlId id, int position);
    void MarkPluginChanged();

    // The buttons (ControlPanelButtons.cpp).
    void OnButton(PanelControlId id);
    void OpenPlugin();
    void EditPlugin();
    void ExplainMissingEditor();
    void DeletePlugin();
    void SetStatus(const QString& text);

    AudioEngine& engine;
    UserMessages& messages;
    bool ready = true;
    UndoHistory* history = nullptr;
    std::map<PanelControlId, QWidget*> controls;
    std::map<PanelControlId, std::function<void()>> effectWindows;
};

} // namespace vantreel
