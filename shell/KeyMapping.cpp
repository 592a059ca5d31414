#include "shell/KeyMapping.h"

#include "editors/VirtualKeys.h"
#include "shell/X11Keyboard.h"

#include <QKeyEvent>

namespace vantreel {

namespace {

bool FromKeypad(const QKeyEvent& event) {
    return event.modifiers().testFlag(Qt::KeypadModifier);
}

int LetterOrDigit(int key, bool keypad) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return vk::A + (key - Qt::Key_A);
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return (keypad ? vk::Numpad0 : vk::Key0) + (key - Qt::Key_0);
    }
    return 0;
}

// A shifted digit arrives as its punctuation ('!' for 1 on many layouts); the key's
// unshifted symbol says which digit it is. Only X11 can tell.
int LetterOrDigitBySymbol(const QKeyEvent& event) {
    const unsigned long symbol = UnshiftedKeySymbol(event.nativeScanCode());
    if (symbol >= 'a' && symbol <= 'z') {
        return vk::A + int(symbol - 'a');
    }
    if (symbol >= '0' && symbol <= '9') {
        return vk::Key0 + int(symbol - '0');
    }
    return 0;
}

int NavigationKey(int key) {
    switch (key) {
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_PageUp:
        return vk::PageUp;
    case Qt::Key_PageDown:
        return vk::PageDown;
    case Qt::Key_Home:
        return vk::Home;
    case Qt::Key_End:
        return vk::End;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::Tab;
    case Qt::Key_Delete:
        return vk::Delete;
    case Qt::Key_Insert:
        return vk::Insert;
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Space:
        return vk::Space;
    default:
        return 0;
    }
}

int KeypadOperator(int key) {
    switch (key) {
    case Qt::Key_Plus:
        return vk::Add;
    case Qt::Key_Minus:
        return vk::Subtract;
    case Qt::Key_Asterisk:
        return vk::Multiply;
    case Qt::Key_Slash:
        return vk::Divide;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return vk::Decimal;
    default:
        return 0;
    }
}

int PunctuationKey(int key) {
    switch (key) {
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
    case Qt::Key_QuoteLeft:
    case Qt::Key_Dead_Grave:
        return vk::Oem1; // MIDI channel down
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return vk::OemPlus; // MIDI channel up
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return vk::OemMinus;
    case Qt::Key_Comma:
        return vk::OemComma;
    case Qt::Key_Period:
        return vk::OemPeriod;
    default:
        return 0;
    }
}

int FunctionKey(int key) {
    const int kFunctionKeys = 12;
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + kFunctionKeys) {
        return vk::F1 + (key - Qt::Key_F1);
    }
    return 0;
}

} // namespace

int VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = FromKeypad(event);
    if (int code = LetterOrDigit(key, keypad)) {
        return code;
    }
    if (int code = NavigationKey(key)) {
        return code;
    }
    if (int code = keypad ? KeypadOperator(key) : 0) {
        return code;
    }
    if (int code = FunctionKey(key)) {
        return code;
    }
    if (int code = keypad ? 0 : LetterOrDigitBySymbol(event)) {
        return code;
    }
    return PunctuationKey(key);
}

int ModifiersOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers held = event.modifiers();
    int modifiers = kNoModifier;
    if (held.testFlag(Qt::ShiftModifier) || event.key() == Qt::Key_Backtab) {
        modifiers |= kShiftModifier;
    }
    if (held.testFlag(Qt::ControlModifier)) {
        modifiers |= kControlModifier;
    }
    if (held.testFlag(Qt::AltModifier)) {
        modifiers |= kAltModifier;
    }
    return modifiers;
}

} // namespace vantreel
