#include "shell/QuickHelpText.h"

namespace vantreel {

// Tabs line the descriptions up in the message box.
const char* const kQuickHelpText = "Undocumented keys\n"
                                   "-------------------------\n"
                                   "abcdefghijklmnopq\t\tEnter patterns (on sequencer editor)\n"
                                   "q2w3er5t6y7ui9o0p\tHigh octave (on pattern editor)\n"
                                   "zsxdcvgbhnjm\t\tLow octave (on pattern editor)\n"
                                   "1\t\t\tInsert note off/pattern break\n"
                                   "`\t\t\tPrevious midi channel\n"
                                   "+\t\t\tNext midi channel\n"
                                   "\n"
                                   "Undocumented RS commands\n"
                                   "------------------------------------\n"
                                   "0x01\t\t\tNote gate (aka half-tick note off)";

} // namespace vantreel
