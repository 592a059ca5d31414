#pragma once
// Audio setup (File menu): the output system, its device and the buffer size, with
// the latency that buffer gives, whether the song's rate is converted, and the
// dropouts so far. OK reopens the output with the choice and remembers it.
//
// Threads: user-interface thread.

#include "engine/OutputChoice.h"
#include "engine/OutputSystems.h"
#include "engine/Reporter.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;

namespace vantreel {

class AudioEngine;
class RegistryStore;
class UserMessages;

class AudioSetupDialog : public QDialog {
    Q_OBJECT
public:
    // `systems` are what the lists offer; `shown` is preselected where it is offered.
    AudioSetupDialog(const AudioEngine& engine, std::vector<OutputSystemInfo> systems,
                     const OutputChoice& shown, QWidget* parent = nullptr);

    OutputChoice Choice() const; // what the lists show now

    QComboBox& SystemList() { return *systemList; }
    QComboBox& DeviceList() { return *deviceList; }
    QComboBox& BufferList() { return *bufferList; }
    QLabel& LatencyText() { return *latencyText; }
    QLabel& RateText() { return *rateText; }
    QLabel& DropoutText() { return *dropoutText; }
    QLabel& OutputText() { return *outputText; }

private:
    void FillDevices(const std::string& selected);
    void ShowLatency();

    const AudioEngine& engine;
    std::vector<OutputSystemInfo> systems;
    QComboBox* systemList;
    QComboBox* deviceList;
    QComboBox* bufferList;
    QLabel* latencyText;
    QLabel* rateText;
    QLabel* dropoutText;
    QLabel* outputText;
};

// Reopens the output with `choice` and remembers it in `store`. When it cannot be
// opened, says why in a message box; the null output plays then. False on failure.
bool ApplyOutputChoice(AudioEngine& engine, UserMessages& messages, RegistryStore& store,
                       const OutputChoice& choice);

// The menu command: runs the dialog over the systems found now and applies an OK.
void RunAudioSetup(AudioEngine& engine, UserMessages& messages, QWidget* parent);

// The message for an output that could not be opened.
UserMessage OutputFailureMessage(const std::string& problem);

} // namespace vantreel
