#pragma once
// A master effect's window: one slider per setting with its value label, laid out
// from the effect's table. Every slider change goes straight into the song, so there
// is no OK or Cancel and closing keeps what was set. The logic lives in
// EffectWindowLogic; this only lays out and forwards.
//
// Threads: the user-interface thread only.

#include "shell/DialogUnits.h"
#include "shell/EffectWindowLogic.h"

#include <QDialog>

#include <map>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace vantreel {

class AudioEngine;
class UndoHistory;

class EffectDialog : public QDialog {
    Q_OBJECT
public:
    // With a history, every change is recorded there, one drag as one step.
    EffectDialog(AudioEngine& engine, EffectWindowKind kind, QWidget* parent,
                 UndoHistory* history = nullptr);

    // A control by its identifier; null when the window has none such.
    QWidget* Control(int id) const;
    QSlider* Slider(int id) const;
    QLabel* ValueLabel(int id) const;
    QPushButton* Button(int id) const;
    QCheckBox* CrossDelayBox() const;
    // The text on the left of the row at `row` (dialog units).
    QLabel* LeftText(int row) const;

private:
    void BuildControls();
    void AddLeftText(const char* text, int row);
    void AddSlider(int index);
    void AddSynchroRow(const SynchroRow& row);
    void AddCrossDelay();
    void Initialise();
    void OnSliderChanged(int index, int position, bool continuing);
    void OnSynchro(const SynchroRow& row, int multiple);
    void RefreshLabels();
    QRect Pixels(const DialogRect& rect) const;

    EffectWindowLogic logic;
    DialogBaseUnits units;
    std::vector<QSlider*> sliders;
    std::vector<QLabel*> valueLabels;
    std::map<int, QWidget*> controls;
    std::map<int, QLabel*> leftTexts;
};

// "Delay FX": both delay times and feedbacks, synchro buttons and "Cross delay".
class DelayDialog : public EffectDialog {
    Q_OBJECT
public:
    explicit DelayDialog(AudioEngine& engine, QWidget* parent = nullptr,
                         UndoHistory* history = nullptr)
        : EffectDialog(engine, EffectWindowKind::Delay, parent, history) {}
};

// "Reverb FX": room, damp, width and mode.
class ReverbDialog : public EffectDialog {
    Q_OBJECT
public:
    explicit ReverbDialog(AudioEngine& engine, QWidget* parent = nullptr,
                          UndoHistory* history = nullptr)
        : EffectDialog(engine, EffectWindowKind::Reverb, parent, history) {}
};

// "Chorus FX": delay, LFO speed, modulation and feedback.
class ChorusDialog : public EffectDialog {
    Q_OBJECT
public:
    explicit ChorusDialog(AudioEngine& engine, QWidget* parent = nullptr,
                          UndoHistory* history = nullptr)
        : EffectDialog(engine, EffectWindowKind::Chorus, parent, history) {}
};

// Runs the window of `kind` modally over `parent` and destroys it after it closes.
void ShowEffectDialog(AudioEngine& engine, EffectWindowKind kind, QWidget* parent,
                      UndoHistory* history = nullptr);

} // namespace vantreel
