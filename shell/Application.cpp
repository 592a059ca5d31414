#include "shell/Application.h"

#include "shell/MainFrame.h"
#include "shell/RecoveryGuard.h"
#include "shell/ScriptedRun.h"

#include <QScreen>
#include <QTimer>

namespace vantreel {

namespace {

// The key under which per-user settings would live; nothing is stored there.
const char* const kSettingsRoot = "Local AppWizard-Generated Applications";
const char* const kApplicationName = "Vantreel";
constexpr QSize kInitialSize(1100, 780);

void PlaceMainWindow(CMainFrame& frame) {
    const QRect available = frame.screen()->availableGeometry();
    frame.resize(kInitialSize.boundedTo(available.size()));
}

} // namespace

void ChooseWindowingPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(kSettingsRoot);
    setApplicationName(kApplicationName);
}

int Application::Run() {
    CMainFrame frame;
    RecoveryGuard recovery(frame); // gone before the frame: the engine is still there
    PlaceMainWindow(frame);
    frame.show();
    // A song left unsaved comes first: nothing else is loaded before the answer.
    QTimer::singleShot(0, &frame, [&recovery] { recovery.OfferOrphanedSongs(); });
    StartScriptedRun(frame);
    return exec();
}

} // namespace vantreel
