// Pattern properties, the delay calculator, quick help and the About box.

#include "PanelTestSupport.h"

#include "shell/AboutDialog.h"
#include "shell/DelayCalculatorDialog.h"
#include "shell/DialogUnits.h"
#include "shell/PatternPropertiesDialog.h"
#include "shell/QuickHelpDialog.h"
#include "shell/QuickHelpText.h"
#include "shell/UserMessages.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextDocument>

namespace vantreel::test {
namespace {

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool seen = false;
};

// Reads the next message box and closes it with OK.
void ReadNextBox(BoxSeen& seen) {
    WhenModal([&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            return false;
        }
        seen = {box->windowTitle(), box->text(), box->icon(), true};
        box->button(QMessageBox::Ok)->click();
        return true;
    });
}

class PatternPropertiesTest : public testing::Test {
protected:
    std::unique_ptr<AudioEngine> engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);

    void SetUp() override {
        engine->editor.currentSlot = 2;
        engine->editor.currentPattern = 5;
    }
    Pattern& Current() { return engine->song.slots[2].patterns[5]; }
};

TEST_F(PatternPropertiesTest, OpensShowingTheCurrentPattern) {
    Current().SetName("Chorus B");
    PatternPropertiesDialog dialog(*engine);
    EXPECT_EQ(dialog.windowTitle(), "Pattern properties");
    EXPECT_EQ(dialog.NameField().text(), "Chorus B");
    EXPECT_EQ(dialog.LengthSlider().value(), 64);
    EXPECT_EQ(dialog.LengthSlider().maximum(), 256);
    EXPECT_EQ(dialog.LengthText().text(), "64 lines");
    EXPECT_EQ(Current().Length(), 64) << "opening changes nothing";
    EXPECT_STREQ(Current().name, "Chorus B");
}

TEST_F(PatternPropertiesTest, NameAndLengthChangeLive) {
    PatternPropertiesDialog dialog(*engine);
    dialog.NameField().setText(QString(64, 'n'));
    EXPECT_EQ(std::string(Current().name), std::string(63, 'n'));
    dialog.NameField().clear();
    EXPECT_STREQ(Current().name, "");
    QTest::keyClicks(&dialog.NameField(), "Intro");
    EXPECT_STREQ(Current().name, "Intro");

    dialog.LengthSlider().setValue(0);
    EXPECT_EQ(Current().Length(), 0);
    EXPECT_EQ(dialog.LengthText().text(), "0 lines");
    dialog.LengthSlider().setValue(256);
    EXPECT_EQ(Current().Length(), 256);
    EXPECT_EQ(dialog.LengthText().text(), "256 lines");
}

TEST_F(PatternPropertiesTest, EscapeEnterAndCloseKeepWhatWasApplied) {
    for (int way = 0; way < 3; ++way) {
        PatternPropertiesDialog dialog(*engine);
        dialog.show();
        const QString name = QString("take %1").arg(way);
        dialog.NameField().setText(name);
        if (way == 0) {
            QTest::keyClick(&dialog.NameField(), Qt::Key_Escape);
        } else if (way == 1) {
            QTest::keyClick(&dialog.NameField(), Qt::Key_Return);
        } else {
            dialog.close();
        }
        EXPECT_FALSE(dialog.isVisible()) << way;
        EXPECT_EQ(QString::fromLatin1(Current().name), name) << way;
    }
}

TEST_F(PatternPropertiesTest, RunRefreshesAfterTheDialogCloses) {
    int refreshes = 0;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<PatternPropertiesDialog*>(modal);
        if (dialog == nullptr) {
            return false;
        }
        EXPECT_EQ(refreshes, 0);
        dialog->LengthSlider().setValue(32);
        dialog->close();
        return true;
    });
    RunPatternProperties(*engine, nullptr, [&] { ++refreshes; });
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(Current().Length(), 32);
}

TEST(QuickHelp, TextIsExactAndShownAsInformation) {
    const std::string expected = "Undocumented keys\n"
                                 "-------------------------\n"
                                 "abcdefghijklmnopq\t\tEnter patterns (on sequencer editor)\n"
                                 "q2w3er5t6y7ui9o0p\tHigh octave (on pattern editor)\n"
                                 "zsxdcvgbhnjm\t\tLow octave (on pattern editor)\n"
                                 "1\t\t\tInsert note off/pattern break\n"
                                 "\x60\t\t\tPrevious midi channel\n"
                                 "+\t\t\tNext midi channel\n"
                                 "\n"
                                 "Undocumented RS commands\n"
                                 "------------------------------------\n"
                                 "0x01\t\t\tNote gate (aka half-tick note off)";
    EXPECT_EQ(std::string(kQuickHelpText), expected);

    QWidget owner;
    UserMessages messages(owner);
    BoxSeen seen;
    int labelWidth = 0;
    double needed = 0;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            return false;
        }
        seen = {box->windowTitle(), box->text(), box->icon(), true};
        if (auto* label = box->findChild<QLabel*>("qt_msgbox_label")) {
            labelWidth = label->contentsRect().width();
            QTextDocument document;
            document.setDefaultFont(label->font());
            document.setHtml(label->text());
            needed = document.idealWidth();
        }
        box->accept();
        return true;
    });
    ShowQuickHelp(messages);
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.title, "Vantreel");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    // Keys and descriptions in two table columns, so the descriptions line up; the
    // label is wide enough for every line whole, and spaces do not break.
    EXPECT_GE(labelWidth, int(needed)) << "a line wraps";
    const QString cell = "<td style=\"padding-left:16px\">";
    EXPECT_TRUE(seen.text.contains("<td>q2w3er5t6y7ui9o0p</td>" + cell +
                                   "High&nbsp;octave&nbsp;(on&nbsp;pattern&nbsp;editor)</td>"))
        << seen.text.toStdString();
    EXPECT_TRUE(seen.text.contains("<td>0x01</td>" + cell +
                                   "Note&nbsp;gate&nbsp;(aka&nbsp;half-tick&nbsp;note&nbsp;off)</td>"));
    EXPECT_EQ(seen.text.count("<tr>"), 12);
    EXPECT_FALSE(seen.text.contains('\t'));
}

TEST(DelayCalculatorBox, ShowsTheCurrentTempo) {
    AudioEngine engine(OutputMode::CallerDriven);
    engine.song.settings.lineLength = 5512;
    QWidget owner;
    UserMessages messages(owner);
    BoxSeen seen;
    ReadNextBox(seen);
    ShowDelayCalculator(engine, messages);
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.title, "Delay calculator tool");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_TRUE(
        seen.text.startsWith("At current tempo [120.010885 BPM]:\n\nx1 Line = 124.988662 ms."));
}

TEST(AboutBox, ShowsOurPictureTheNameAndCloses) {
    const QPixmap picture = AboutPicture();
    EXPECT_EQ(picture.size(), QSize(600, 300));
    // Drawn, not blank: more than a handful of distinct colours.
    const QImage image = picture.toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            colours.insert(image.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 50);

    AboutDialog about;
    EXPECT_EQ(about.windowTitle(), "About Vantreel");
    const DialogBaseUnits units = BaseUnitsOf(about.font());
    EXPECT_EQ(about.size(), ToPixels(480, 243, units));
    bool named = false;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        named |= label->text() == "Vantreel";
    }
    EXPECT_TRUE(named);
    about.show();
    auto* ok = about.findChild<QPushButton*>("AboutOk");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    ok->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

} // namespace
} // namespace vantreel::test
