#pragma once
// Pattern properties (Alt+Enter): the name and the length of the pattern being
// edited. Every change is written into the pattern at once; Enter, Escape and the
// close box all just close the dialog.
//
// Threads: user-interface thread.

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QSlider;

namespace vantreel {

class AudioEngine;
class UndoHistory;

class PatternPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    // With a history, the name typed in one opening is one step, and so is one drag
    // of the length.
    PatternPropertiesDialog(AudioEngine& engine, QWidget* parent = nullptr,
                            UndoHistory* history = nullptr);
    ~PatternPropertiesDialog() override;

    QLineEdit& NameField() { return *name; }
    QSlider& LengthSlider() { return *length; }
    QLabel& LengthText() { return *lengthText; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnNameEdited(const QString& text);
    void OnLengthMoved(int position);

    AudioEngine& engine;
    UndoHistory* history;
    QLineEdit* name;
    QSlider* length;
    QLabel* lengthText;
    bool controlsFilled = false;
};

// Runs the dialog modally on the current pattern, then `refresh` (the control panel
// and the editors).
void RunPatternProperties(AudioEngine& engine, QWidget* parent,
                          const std::function<void()>& refresh, UndoHistory* history = nullptr);

} // namespace vantreel
