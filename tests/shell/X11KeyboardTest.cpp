// What only X11 tells: the lock keys' state behind the status bar's indicators, and
// the unshifted symbol that makes Shift+1 still the key 1. These tests need the xcb
// platform; ProgramUnderXvfb runs them on a private Xvfb display.

#include "shell/X11Keyboard.h"
#include "editors/VirtualKeys.h"
#include "shell/KeyMapping.h"
#include "shell/StatusBar.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>

#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#undef KeyPress // an X11 macro that hides QEvent::KeyPress

namespace vantreel {
namespace {

constexpr unsigned int kKeyCodeOfDigit1 = 10; // X server's standard keyboard map

Display* X11Display() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

void LockModifiers(Display* display, unsigned int mask, bool on) {
    XkbLockModifiers(display, XkbUseCoreKbd, mask, on ? mask : 0);
    XSync(display, False);
}

QString Indicator(const StatusBar& bar, const char* name) {
    return bar.findChild<QLabel*>(name)->text();
}

class X11Keyboard : public testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != "xcb" || !X11Display()) {
            GTEST_SKIP() << "needs the xcb platform (ProgramUnderXvfb runs it)";
        }
    }
};

TEST_F(X11Keyboard, IndicatorsShowTheLockKeys) {
    Display* display = X11Display();
    const unsigned int numLock = XkbKeysymToModifiers(display, XK_Num_Lock);
    StatusBar bar(nullptr);
    LockModifiers(display, LockMask | numLock, false);
    bar.RefreshLockKeys();
    EXPECT_EQ(Indicator(bar, "CAP"), "");
    EXPECT_EQ(Indicator(bar, "NUM"), "");

    LockModifiers(display, LockMask | numLock, true);
    bar.RefreshLockKeys();
    EXPECT_EQ(Indicator(bar, "CAP"), "CAP");
    EXPECT_EQ(Indicator(bar, "NUM"), "NUM");
    EXPECT_EQ(Indicator(bar, "SCRL"), "");
    LockModifiers(display, LockMask | numLock, false);
}

TEST_F(X11Keyboard, ShiftedDigitMapsToTheDigitKey) {
    EXPECT_EQ(UnshiftedKeySymbol(kKeyCodeOfDigit1), unsigned(XK_1));
    const QKeyEvent exclam(QEvent::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier, kKeyCodeOfDigit1,
                           XK_exclam, 0, "!");
    EXPECT_EQ(VirtualKeyOf(exclam), vk::Key1);
}

} // namespace
} // namespace vantreel
