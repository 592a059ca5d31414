#include "shell/EffectDialog.h"

#include "engine/AudioEngine.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace vantreel {

namespace {

QString ControlName(int id) {
    return QString("control%1").arg(id);
}

} // namespace

EffectDialog::EffectDialog(AudioEngine& engine, EffectWindowKind kind, QWidget* parent,
                           UndoHistory* history)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      logic(engine.song.settings, kind, history), units(BaseUnitsOf(DialogFont())) {
    const EffectWindowTable& table = logic.Table();
    setObjectName(QString(table.title).remove(' '));
    setWindowTitle(table.title);
    setModal(true);
    setFont(DialogFont());
    setFixedSize(ToPixels(table.width, table.height, units));
    BuildControls();
    Initialise();
}

void EffectDialog::BuildControls() {
    const EffectWindowTable& table = logic.Table();
    for (int index = 0; index < int(table.sliders.size()); ++index) {
        AddSlider(index);
    }
    for (const SynchroRow& row : table.synchroRows) {
        AddSynchroRow(row);
    }
    if (table.hasCrossDelay) {
        AddCrossDelay();
    }
}

void EffectDialog::AddLeftText(const char* text, int row) {
    auto* label = new QLabel(text, this);
    label->setGeometry(Pixels(LeftTextRect(row)));
    leftTexts[row] = label;
}

void EffectDialog::AddSlider(int index) {
    const EffectSlider& row = logic.Table().sliders[index];
    AddLeftText(row.leftText, row.row);
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(ControlName(row.sliderId));
    slider->setGeometry(Pixels(EffectSliderRect(row.row)));
    // Every change, whether dragged, keyed or set by a button, goes to the song.
    connect(slider, &QSlider::valueChanged, this, [this, index, slider](int position) {
        OnSliderChanged(index, position, slider->isSliderDown());
    });
    connect(slider, &QSlider::sliderReleased, this, [this] { logic.OnSliderReleased(); });
    auto* label = new QLabel(this);
    label->setObjectName(ControlName(row.labelId));
    label->setGeometry(Pixels(ValueLabelRect(row.row)));
    sliders.push_back(slider);
    valueLabels.push_back(label);
    controls[row.sliderId] = slider;
    controls[row.labelId] = label;
}

void EffectDialog::AddSynchroRow(const SynchroRow& row) {
    AddLeftText(row.leftText, row.row);
    for (int button = 0; button < kSynchroButtonCount; ++button) {
        const int id = row.firstButtonId + button;
        auto* widget = new QPushButton(QString::fromStdString(SynchroButtonText(button)), this);
        widget->setObjectName(ControlName(id));
        widget->setAutoDefault(false);
        widget->setGeometry(Pixels(SynchroButtonRect(row.row, button)));
        connect(widget, &QPushButton::clicked, this,
                [this, &row, button] { OnSynchro(row, button + 1); });
        controls[id] = widget;
    }
}

void EffectDialog::AddCrossDelay() {
    const CrossDelayOption& option = logic.Table().crossDelay;
    AddLeftText(option.leftText, option.row);
    auto* box = new QCheckBox(option.boxText, this);
    box->setObjectName(ControlName(option.boxId));
    box->setGeometry(Pixels(CrossDelayRect(option.row)));
    connect(box, &QCheckBox::clicked, this, [this](bool checked) { logic.OnCrossDelay(checked); });
    controls[option.boxId] = box;
}

void EffectDialog::Initialise() {
    logic.SetReady(false);
    const EffectWindowTable& table = logic.Table();
    for (int index = 0; index < int(sliders.size()); ++index) {
        sliders[index]->setRange(table.sliders[index].range.minimum,
                                 table.sliders[index].range.maximum);
        sliders[index]->setValue(logic.InitialPosition(index));
    }
    if (QCheckBox* box = CrossDelayBox()) {
        box->setChecked(logic.CrossDelayChecked());
    }
    logic.SetReady(true);
    RefreshLabels();
}

void EffectDialog::OnSliderChanged(int index, int position, bool continuing) {
    if (logic.OnSliderChanged(index, position, continuing)) {
        RefreshLabels();
    }
}

void EffectDialog::OnSynchro(const SynchroRow& row, int multiple) {
    QSlider* slider = sliders[row.sliderIndex];
    const int position = logic.OnSynchro(row, multiple);
    {
        // Stored once above; the slider only has to show it.
        const QSignalBlocker blocker(slider);
        slider->setValue(position);
    }
    RefreshLabels();
}

void EffectDialog::RefreshLabels() {
    for (int index = 0; index < int(valueLabels.size()); ++index) {
        valueLabels[index]->setText(QString::fromStdString(logic.LabelText(index)));
    }
}

QRect EffectDialog::Pixels(const DialogRect& rect) const {
    return ToPixels(rect, units);
}

QWidget* EffectDialog::Control(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
}

QSlider* EffectDialog::Slider(int id) const {
    return qobject_cast<QSlider*>(Control(id));
}

QLabel* EffectDialog::ValueLabel(int id) const {
    return qobject_cast<QLabel*>(Control(id));
}

QPushButton* EffectDialog::Button(int id) const {
    return qobject_cast<QPushButton*>(Control(id));
}

QCheckBox* EffectDialog::CrossDelayBox() const {
    return qobject_cast<QCheckBox*>(Control(logic.Table().crossDelay.boxId));
}

QLabel* EffectDialog::LeftText(int row) const {
    const auto found = leftTexts.find(row);
    return found == leftTexts.end() ? nullptr : found->second;
}

void ShowEffectDialog(AudioEngine& engine, EffectWindowKind kind, QWidget* parent,
                      UndoHistory* history) {
    switch (kind) {
    case EffectWindowKind::Delay:
        DelayDialog(engine, parent, history).exec();
        return;
    case EffectWindowKind::Reverb:
        ReverbDialog(engine, parent, history).exec();
        return;
    case EffectWindowKind::Chorus:
        ChorusDialog(engine, parent, history).exec();
        return;
    }
}

} // namespace vantreel
