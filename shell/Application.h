#pragma once
// The application object: chooses the windowing platform, names the settings root,
// builds the main window and runs until it closes.

#include <QApplication>

namespace vantreel {

// Before the application object exists: plug-in editors embed into X11 windows, so
// under Wayland the program runs on XWayland unless the user chose a platform.
void ChooseWindowingPlatform();

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    // Shows the main window and runs the event loop; the exit status.
    int Run();
};

} // namespace vantreel
