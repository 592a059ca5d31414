#include "shell/AudioSetupDialog.h"

#include "engine/AudioEngine.h"
#include "shell/AudioSetupStore.h"
#include "shell/BusyCursor.h"
#include "shell/UserMessages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vantreel {

namespace {

const char* const kCaption = "Audio setup";
const char* const kFirstSystem = "First that finds a device";
const char* const kDefaultDevice = "Default device";

QString LatencyFor(int frames, int rate) {
    return QString("%1 ms (%2 frames at %3 Hz)")
        .arg(BufferMilliseconds(frames, rate), 0, 'f', 1)
        .arg(frames)
        .arg(rate);
}

QString RateNote(const AudioEngine& engine) {
    const int songRate = engine.song.settings.sampleRate;
    const OutputFormat format = engine.CurrentOutput();
    if (engine.OutputConverts()) {
        return QString("The device runs at %1 Hz: the song's %2 Hz are converted.")
            .arg(format.sampleRate)
            .arg(songRate);
    }
    return QString("The device runs at the song's rate, %1 Hz.").arg(songRate);
}

QString OutputNow(const OutputFormat& format) {
    if (format.sampleRate == 0) {
        return "No output";
    }
    return QString("%1, %2: %3 frames at %4 Hz")
        .arg(QString::fromStdString(format.system), QString::fromStdString(format.device))
        .arg(format.bufferFrames)
        .arg(format.sampleRate);
}

QLabel* WrappingLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

} // namespace

AudioSetupDialog::AudioSetupDialog(const AudioEngine& engine, std::vector<OutputSystemInfo> offered,
                                   const OutputChoice& shown, QWidget* parent)
    : QDialog(parent), engine(engine), systems(std::move(offered)), systemList(new QComboBox(this)),
      deviceList(new QComboBox(this)), bufferList(new QComboBox(this)),
      latencyText(WrappingLabel(this, "Latency")), rateText(WrappingLabel(this, "RateNote")),
      dropoutText(WrappingLabel(this, "Dropouts")), outputText(WrappingLabel(this, "OutputNow")) {
    setObjectName("AudioSetupDialog");
    setWindowTitle(kCaption);
    systemList->setObjectName("OutputSystem");
    deviceList->setObjectName("OutputDevice");
    bufferList->setObjectName("BufferSize");

    auto* form = new QFormLayout;
    form->addRow("Playing through", outputText);
    form->addRow("Output system", systemList);
    form->addRow("Device", deviceList);
    form->addRow("Buffer size", bufferList);
    form->addRow("Latency", latencyText);
    form->addRow("Sample rate", rateText);
    form->addRow("Dropouts", dropoutText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    systemList->addItem(kFirstSystem, QString());
    for (const OutputSystemInfo& system : systems) {
        systemList->addItem(QString::fromStdString(system.displayName),
                            QString::fromStdString(system.name));
    }
    systemList->setCurrentIndex(
        std::max(systemList->findData(QString::fromStdString(shown.system)), 0));
    FillDevices(shown.device);
    for (int frames : kDeviceBufferSizes) {
        bufferList->addItem(QString("%1 frames").arg(frames), frames);
    }
    bufferList->setCurrentIndex(bufferList->findData(UsableBufferFrames(shown.bufferFrames)));

    connect(systemList, &QComboBox::currentIndexChanged, this, [this] {
        FillDevices({});
        ShowLatency();
    });
    connect(bufferList, &QComboBox::currentIndexChanged, this, [this] { ShowLatency(); });
    outputText->setText(OutputNow(engine.CurrentOutput()));
    rateText->setText(RateNote(engine));
    dropoutText->setText(QString::number(engine.Dropouts()));
    ShowLatency();
}

void AudioSetupDialog::FillDevices(const std::string& selected) {
    deviceList->clear();
    deviceList->addItem(kDefaultDevice, QString());
    const std::string system = systemList->currentData().toString().toStdString();
    for (const OutputSystemInfo& info : systems) {
        if (info.name != system) {
            continue;
        }
        for (const std::string& device : info.devices) {
            deviceList->addItem(QString::fromStdString(device), QString::fromStdString(device));
        }
    }
    deviceList->setCurrentIndex(
        std::max(deviceList->findData(QString::fromStdString(selected)), 0));
}

// At the device's rate when the output open now is of the chosen system (where the
// rate is known), else at the song's.
void AudioSetupDialog::ShowLatency() {
    const OutputFormat format = engine.CurrentOutput();
    int rate = engine.song.settings.sampleRate;
    if (format.sampleRate > 0 && Choice().system == format.systemName) {
        rate = format.sampleRate;
    }
    latencyText->setText(LatencyFor(Choice().bufferFrames, rate));
}

OutputChoice AudioSetupDialog::Choice() const {
    OutputChoice choice;
    choice.system = systemList->currentData().toString().toStdString();
    choice.device = deviceList->currentData().toString().toStdString();
    choice.bufferFrames = UsableBufferFrames(bufferList->currentData().toInt());
    return choice;
}

UserMessage OutputFailureMessage(const std::string& problem) {
    return {"The audio output could not be opened: " + problem +
                ".\nPlaying on without sound (null output); choose another output in "
                "File > Audio setup.",
            "Vantreel", MessageIcon::Warning};
}

bool ApplyOutputChoice(AudioEngine& engine, UserMessages& messages, RegistryStore& store,
                       const OutputChoice& choice) {
    bool opened = false;
    {
        BusyCursor busy;
        opened = engine.ReopenOutput(choice);
    }
    if (!StoreOutputChoice(store, choice)) {
        messages.Show({"The audio setup could not be saved in the settings file.", "Vantreel",
                       MessageIcon::Warning});
    }
    if (!opened) {
        messages.Show(OutputFailureMessage(engine.OutputProblem()));
    }
    return opened;
}

void RunAudioSetup(AudioEngine& engine, UserMessages& messages, QWidget* parent) {
    RegistryStore store;
    std::vector<OutputSystemInfo> systems;
    {
        BusyCursor busy;
        systems = ListOutputSystems();
    }
    AudioSetupDialog dialog(engine, std::move(systems),
                            LoadOutputChoice(store).value_or(OutputChoice{}), parent);
    if (dialog.exec() == QDialog::Accepted) {
        ApplyOutputChoice(engine, messages, store, dialog.Choice());
    }
}

} // namespace vantreel
