#include "shell/PatternPropertiesDialog.h"

#include "editors/SongEdits.h"
#include "editors/UndoHistory.h"
#include "engine/AudioEngine.h"
#include "shell/DialogUnits.h"
#include "shell/PanelLogic.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace vantreel {

namespace {

const char* const kCaption = "Pattern properties";
constexpr int kDialogWidth = 262; // dialog units
constexpr int kDialogHeight = 36;
constexpr DialogRect kNameLabelRect{4, 4, 64, 12};
constexpr DialogRect kNameRect{68, 4, 128, 12};
constexpr DialogRect kLengthLabelRect{4, 20, 64, 12};
constexpr DialogRect kLengthRect{68, 20, 128, 12};
constexpr DialogRect kLengthTextRect{196, 20, 64, 12};

QLabel* CentredLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

PatternPropertiesDialog::PatternPropertiesDialog(AudioEngine& engine, QWidget* parent,
                                                 UndoHistory* history)
    : QDialog(parent), engine(engine), history(history), name(new QLineEdit(this)),
      length(new QSlider(Qt::Horizontal, this)), lengthText(CentredLabel("", this)) {
    setObjectName("PatternPropertiesDialog");
    setWindowTitle(kCaption);
    setFont(DialogFont());
    const DialogBaseUnits units = BaseUnitsOf(font());
    setFixedSize(ToPixels(kDialogWidth, kDialogHeight, units));
    CentredLabel("Pattern name", this)->setGeometry(ToPixels(kNameLabelRect, units));
    CentredLabel("Pattern length", this)->setGeometry(ToPixels(kLengthLabelRect, units));
    name->setGeometry(ToPixels(kNameRect, units));
    length->setGeometry(ToPixels(kLengthRect, units));
    length->setTickPosition(QSlider::NoTicks);
    lengthText->setGeometry(ToPixels(kLengthTextRect, units));

    connect(name, &QLineEdit::textChanged, this, &PatternPropertiesDialog::OnNameEdited);
    connect(length, &QSlider::valueChanged, this, &PatternPropertiesDialog::OnLengthMoved);
    connect(length, &QSlider::sliderReleased, this, [this] {
        if (this->history != nullptr) {
            this->history->EndCoalescing();
        }
    });
    const Pattern& pattern = engine.CurrentPattern();
    name->setText(QString::fromLatin1(pattern.name));
    length->setRange(kPatternLengthRange.minimum, kPatternLengthRange.maximum);
    length->setValue(pattern.Length());
    OnLengthMoved(length->value()); // the text is right before anything moves
    controlsFilled = true;
}

PatternPropertiesDialog::~PatternPropertiesDialog() {
    if (history != nullptr) {
        history->EndCoalescing();
    }
}

void PatternPropertiesDialog::OnNameEdited(const QString& text) {
    if (!controlsFilled) {
        return;
    }
    // Names are 8-bit; SetName keeps the first 63 characters.
    RenameCurrentPattern(engine, history, text.toLatin1().constData(), true);
}

void PatternPropertiesDialog::OnLengthMoved(int position) {
    Pattern& pattern = engine.CurrentPattern();
    if (controlsFilled) {
        ResizeCurrentPattern(engine, history, static_cast<uint16_t>(position),
                             length->isSliderDown());
    }
    lengthText->setText(QString::fromStdString(PatternLengthText(pattern.Length())));
}

void PatternPropertiesDialog::keyPressEvent(QKeyEvent* event) {
    // Enter closes the dialog like Escape: there is nothing to confirm.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RunPatternProperties(AudioEngine& engine, QWidget* parent,
                          const std::function<void()>& refresh, UndoHistory* history) {
    PatternPropertiesDialog dialog(engine, parent, history);
    dialog.exec();
    if (refresh) {
        refresh();
    }
}

} // namespace vantreel
