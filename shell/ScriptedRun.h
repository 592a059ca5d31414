#pragma once
// Lets a script drive a real run of the program, for the tests that start it under
// a virtual display:
//   VANTREEL_SCREENSHOT=<file.png>   saves what the screen shows of the main window,
//                                    once it has been painted;
//   VANTREEL_EXIT_ANSWERS=no,yes     then asks the window to close once per answer
//                                    and answers "Sure to exit?" with it.
// Each step is reported on standard output. Without the variables nothing happens.

#include <QMessageBox>
#include <QString>

namespace vantreel {

class CMainFrame;

// User-interface thread.
void StartScriptedRun(CMainFrame& frame);

// User-interface thread: waits (without blocking) for a modal message box with
// `text` and clicks its `button`; gives up after a few seconds.
void AnswerNextMessageBox(const QString& text, QMessageBox::StandardButton button);

} // namespace vantreel
