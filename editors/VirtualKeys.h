#pragma once
// Platform-neutral key codes for the editors, numbered like the Windows
// virtual-key codes, and the modifier flags that come with a key press.
// The window maps its own key events onto these: letters and digits by the key
// (upper-case letter codes whatever the shift state), the channel keys by the
// codes below. Keys the window handles as accelerators (Space, the keypad
// operators, the function keys, Ctrl and Shift menu combinations) are not passed in.

namespace vantreel::vk {

constexpr int Back = 0x08;
constexpr int Tab = 0x09;
constexpr int Return = 0x0D;
constexpr int Shift = 0x10;
constexpr int Control = 0x11;
constexpr int Menu = 0x12; // Alt
constexpr int Escape = 0x1B;
constexpr int Space = 0x20;
constexpr int PageUp = 0x21;   // VK_PRIOR
constexpr int PageDown = 0x22; // VK_NEXT
constexpr int End = 0x23;
constexpr int Home = 0x24;
constexpr int Left = 0x25;
constexpr int Up = 0x26;
constexpr int Right = 0x27;
constexpr int Down = 0x28;
constexpr int Insert = 0x2D;
constexpr int Delete = 0x2E;

constexpr int Key0 = 0x30; // '0'..'9' are 0x30..0x39
constexpr int Key1 = 0x31;
constexpr int Key9 = 0x39;
constexpr int A = 0x41; // 'A'..'Z' are 0x41..0x5A
constexpr int F = 0x46;
constexpr int Z = 0x5A;

constexpr int Numpad0 = 0x60; // 0x60..0x69
constexpr int Multiply = 0x6A;
constexpr int Add = 0x6B;
constexpr int Subtract = 0x6D;
constexpr int Decimal = 0x6E;
constexpr int Divide = 0x6F;
constexpr int F1 = 0x70; // F1..F12 are 0x70..0x7B

constexpr int Oem1 = 0xBA;    // MIDI channel down (';' on US, the grave-accent key on Spanish)
constexpr int OemPlus = 0xBB; // MIDI channel up (the main keyboard's '+' / '=' key)
constexpr int OemComma = 0xBC;
constexpr int OemMinus = 0xBD;
constexpr int OemPeriod = 0xBE;
constexpr int Oem2 = 0xBF;
constexpr int Oem3 = 0xC0;
constexpr int Oem4 = 0xDB;
constexpr int Oem5 = 0xDC;
constexpr int Oem6 = 0xDD;
constexpr int Oem7 = 0xDE;

constexpr bool IsLetter(int key) {
    return key >= A && key <= Z;
}
constexpr bool IsDigit(int key) {
    return key >= Key0 && key <= Key9;
}

} // namespace vantreel::vk

namespace vantreel {

// Modifier flags passed with a key press (or-ed together).
enum KeyModifier : int {
    kNoModifier = 0,
    kShiftModifier = 1,
    kControlModifier = 2,
    kAltModifier = 4,
};

} // namespace vantreel
