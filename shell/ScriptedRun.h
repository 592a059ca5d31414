#pragma once
// Lets a script drive a real run of the program, for the tests that start it under
// a virtual display:
//   VANTREEL_SCREENSHOT=<file.png>   saves what the screen shows of the main window,
//                                    once it has been painted;
//   VANTREEL_EXIT_ANSWERS=no,yes     then asks the window to close once per answer
//                                    and answers "Sure to exit?" with it;
//   VANTREEL_RESTORE_ANSWER=yes|no   answers the question whether to restore a song
//                                    left unsaved; a scripted run without it answers
//                                    no (the song is kept aside), so it never waits.
// Each step is reported on standard output. Without the variables nothing happens.

#include <QMessageBox>
#include <QString>

#include <optional>

namespace vantreel {

class CMainFrame;

// User-interface thread.
void StartScriptedRun(CMainFrame& frame);

// User-interface thread: waits (without blocking) for a modal message box with
// `text` and clicks its `button`; gives up after a few seconds.
void AnswerNextMessageBox(const QString& text, QMessageBox::StandardButton button);

// User-interface thread: how a script answers the restore question; nullopt when
// no script runs and the user answers.
std::optional<QMessageBox::StandardButton> ScriptedRestoreAnswer();

} // namespace vantreel
