#pragma once
// Turns Qt key events into the editors' virtual-key codes and modifier flags.
// Letters and digits map by the key, whatever Shift does to the character; the
// main keyboard's '+'/'=' key and the ';'/'`' key are the MIDI channel keys.

class QKeyEvent;

namespace vantreel {

// The editors' code for the key, or 0 for a key they have no code for.
int VirtualKeyOf(const QKeyEvent& event);
// kShiftModifier, kControlModifier and kAltModifier as held with the key.
int ModifiersOf(const QKeyEvent& event);

} // namespace vantreel
