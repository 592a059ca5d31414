// The restore question with real windows: what a start may offer, what happens to
// a damaged song and to one restored, and what a clean exit leaves.

#include "PanelTestSupport.h"

#include "shell/MainFrame.h"
#include "shell/RecoveryGuard.h"
#include "shell/StatusBar.h"
#include "song/RecoveryFiles.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <fstream>

namespace vantreel::test {
namespace {

class RecoveryGuardTest : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(MakeRecoveryFolder(folder, error)) << error;
    }
    void TearDown() override {
        if (frame) {
            AnswerBox("Sure to exit?", QMessageBox::Yes);
            frame->close();
        }
    }
    void AnswerBox(const QString& text, QMessageBox::StandardButton button, int* asked = nullptr) {
        WhenModal([text, button, asked](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr || !box->text().startsWith(text)) {
                return false;
            }
            if (asked != nullptr) {
                ++*asked;
            }
            box->button(button)->click();
            return true;
        });
    }
    QStringList Files(const QString& pattern) const {
        return QDir(QString::fromStdString(folder)).entryList({pattern}, QDir::Files, QDir::Name);
    }
    std::string SongLeftBehind(const std::vector<uint8_t>& bytes) {
        const std::string path = folder + "/recovery-19700101-000000-1.vpf";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    Scratch scratch;
    ScopedEnvironment state{"XDG_STATE_HOME", scratch.Path("state")};
    ScopedEnvironment config{"XDG_CONFIG_HOME", scratch.MakeFolder("config")};
    ScopedEnvironment interval{"VANTREEL_AUTOSAVE_SECONDS", std::nullopt};
    std::string folder = scratch.Path("state/vantreel");
    std::unique_ptr<CMainFrame> frame = std::make_unique<CMainFrame>(OutputMode::CallerDriven);
};

TEST_F(RecoveryGuardTest, ADamagedSongIsNeverLoadedTheUserIsToldAndItIsKeptAside) {
    frame->Engine().song.settings.masterVolume = 111; // the song in memory
    const std::vector<uint8_t> damaged(5000, 0xAB);
    SongLeftBehind(damaged);
    RecoveryGuard guard(*frame);
    AnswerBox(RecoveryGuard::kRestoreQuestion, QMessageBox::Yes);
    QString told;
    WhenModal([&told](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr || !box->text().startsWith("The unsaved song could not be restored")) {
            return false;
        }
        told = box->text();
        box->button(QMessageBox::Ok)->click();
        return true;
    });
    guard.OfferOrphanedSongs();
    EXPECT_TRUE(told.contains("damaged")) << told.toStdString();
    EXPECT_TRUE(told.contains("unsaved-")) << "where it was kept: " << told.toStdString();
    EXPECT_EQ(111, frame->Engine().song.settings.masterVolume);
    EXPECT_FALSE(frame->Engine().modified.IsModified());
    ASSERT_EQ(1, Files("unsaved-*.vpf").size());
    QFile kept(QString::fromStdString(folder) + "/" + Files("unsaved-*.vpf").value(0));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray(5000, char(0xAB)), kept.readAll());
}

TEST_F(RecoveryGuardTest, ARestoredSongIsUnsavedAndItsFileBecomesThisProgramsOwn) {
    AudioEngine source(OutputMode::CallerDriven);
    source.song.settings.masterVolume = 4321;
    source.song.slots[3].patterns[2].SetCell(7, 1, {0x91, 64, 90, 0});
    ProjectImage image;
    ASSERT_TRUE(source.BuildProjectImage(image));
    SongLeftBehind(image.bytes);
    {
        RecoveryGuard guard(*frame);
        AnswerBox(RecoveryGuard::kRestoreQuestion, QMessageBox::Yes);
        guard.OfferOrphanedSongs();
        EXPECT_EQ(4321, frame->Engine().song.settings.masterVolume);
        EXPECT_EQ((EventCell{0x91, 64, 90, 0}),
                  frame->Engine().song.slots[3].patterns[2].Cell(7, 1));
        EXPECT_TRUE(frame->Engine().modified.IsModified()) << "it has no project file yet";
        EXPECT_EQ("Project restored...", frame->Status().Message());
        EXPECT_TRUE(Files("recovery-19700101*").isEmpty());
        EXPECT_EQ(1, Files("recovery-*.vpf").size()) << "not yet protected under this program";
        EXPECT_TRUE(Files("unsaved-*").isEmpty());
    } // the exit with the restored song unsaved keeps it
    EXPECT_EQ(1, Files("recovery-*.vpf").size());
    EXPECT_TRUE(Files("recovery-*.lock").isEmpty());

    // The next start offers it again; this time it is refused, then nothing is unsaved.
    frame->Engine().modified.Clear();
    {
        RecoveryGuard guard(*frame);
        int asked = 0;
        AnswerBox(RecoveryGuard::kRestoreQuestion, QMessageBox::No, &asked);
        guard.OfferOrphanedSongs();
        EXPECT_EQ(1, asked);
        EXPECT_EQ(1, Files("unsaved-*.vpf").size());
    }
    EXPECT_TRUE(Files("recovery-*").isEmpty()) << Files("*").join(' ').toStdString();
}

TEST_F(RecoveryGuardTest, ALiveProgramsSongIsNotOffered) {
    RecoveryClaim live(folder);
    ASSERT_TRUE(live.IsHeld());
    std::ofstream(live.SongPath()) << "the song of a program still running";
    RecoveryGuard guard(*frame);
    int asked = 0;
    AnswerBox(RecoveryGuard::kRestoreQuestion, QMessageBox::Yes, &asked);
    guard.OfferOrphanedSongs();
    QTest::qWait(100);
    EXPECT_EQ(0, asked);
    EXPECT_TRUE(Files("unsaved-*").isEmpty());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(live.SongPath())));
}

} // namespace
} // namespace vantreel::test
