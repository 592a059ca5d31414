// New, Open and Save project: their questions, file dialogs and status texts, and a
// song that comes back whole from a file.

#include "PanelTestSupport.h"

#include "editors/UndoHistory.h"

#include "shell/ProjectCommands.h"
#include "shell/UserMessages.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <fstream>
#include <iterator>

namespace vantreel::test {
namespace {

class ProjectCommandsTest : public PanelEngineTest {
protected:
    QWidget owner;
    UserMessages messages{owner};
    ProjectCommands project{*engine, messages, owner};
    QStringList statuses;
    QStringList boxes; // the text of every box answered
    int refreshes = 0;

    void SetUp() override {
        PanelEngineTest::SetUp();
        project.setStatusText = [this](const QString& text) { statuses << text; };
        project.refreshControlPanel = [this] { ++refreshes; };
    }

    // Answers the next message box with `button`.
    void Answer(QMessageBox::StandardButton button) {
        WhenModal(
            [this, button](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (box == nullptr || box->button(button) == nullptr) {
                    return false;
                }
                EXPECT_EQ(box->windowTitle(), "Vantreel");
                boxes << box->text();
                box->button(button)->click();
                return true;
            },
            &owner);
    }
    // Answers the next file dialog with `path`, or cancels it when `path` is empty.
    void ChooseFile(const QString& path, QFileDialog::AcceptMode mode) {
        WhenModal(
            [path, mode](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                if (dialog == nullptr) {
                    return false;
                }
                EXPECT_EQ(dialog->acceptMode(), mode);
                EXPECT_EQ(dialog->nameFilters(),
                          QStringList({"Vantreel project files (*.vpf)", "All Files (*.*)"}));
                EXPECT_EQ(dialog->selectedNameFilter(), "Vantreel project files (*.vpf)");
                EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
                if (path.isEmpty()) {
                    dialog->reject();
                } else {
                    ConfirmFileDialog(*dialog, path);
                }
                return true;
            },
            &owner);
    }
    void Save(const QString& path) {
        Answer(QMessageBox::Ok);
        ChooseFile(path, QFileDialog::AcceptSave);
        project.Save();
    }
    void Open(const QString& path) {
        Answer(QMessageBox::Yes);
        ChooseFile(path, QFileDialog::AcceptOpen);
        project.Open();
    }
    QString ScratchFile(const char* name) { return QString::fromStdString(scratch.Path(name)); }
};

TEST_F(ProjectCommandsTest, NewAsksFirstAndClearsOnlyOnYes) {
    engine->song.slots[1].patterns[2].SetName("Bridge");
    Answer(QMessageBox::No);
    project.New();
    EXPECT_EQ(boxes, QStringList({"You will lose project changes, continue?"}));
    EXPECT_STREQ(engine->song.slots[1].patterns[2].name, "Bridge");
    EXPECT_EQ(refreshes, 1) << "No still refreshes the panel";
    EXPECT_TRUE(statuses.isEmpty());

    LoadProbe(5);
    Answer(QMessageBox::Yes);
    project.New();
    EXPECT_STREQ(engine->song.slots[1].patterns[2].name, "Untitled");
    EXPECT_FALSE(engine->song.slots[5].IsInstanced());
    EXPECT_EQ(statuses, QStringList({"Cleaning...", "New project"}));
    EXPECT_EQ(refreshes, 2);
}

TEST_F(ProjectCommandsTest, SaveWarnsEveryTimeEvenWhenCancelled) {
    bool warned = false;
    WhenModal(
        [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                return false;
            }
            warned =
                box->icon() == QMessageBox::Warning && box->text() == ProjectCommands::kSaveWarning;
            box->button(QMessageBox::Ok)->click();
            return true;
        },
        &owner);
    ChooseFile("", QFileDialog::AcceptSave);
    project.Save();
    EXPECT_TRUE(warned);
    EXPECT_TRUE(statuses.isEmpty());
    EXPECT_EQ(refreshes, 0) << "saving changes nothing the panel shows";
}

TEST_F(ProjectCommandsTest, SavedSongComesBackWithItsPlugin) {
    LoadProbe(2);
    plugin::SetProgram(&Effect(2), 1);
    Effect(2).setParameter(&Effect(2), 1, 0.75f);
    engine->song.settings.lineLength = 4410;
    engine->song.slots[2].patterns[0].SetName("Riff");
    engine->song.slots[2].sendReverb = 33;

    Save(ScratchFile("song")); // typed without extension
    EXPECT_EQ(statuses, QStringList({"Saving project...", "Project saved ok..."}));
    EXPECT_TRUE(QFileInfo::exists(ScratchFile("song.vpf")));
    EXPECT_FALSE(QFileInfo::exists(ScratchFile("song")));

    Answer(QMessageBox::Yes);
    project.New();
    statuses.clear();
    refreshes = 0;
    Open(ScratchFile("song.vpf"));
    EXPECT_EQ(statuses, QStringList({"Loading project...", "Project opened ok..."}));
    EXPECT_EQ(refreshes, 1);
    ASSERT_TRUE(engine->song.slots[2].IsInstanced());
    EXPECT_EQ(Program(2), 1);
    EXPECT_EQ(Parameter(1, 2), 0.75f);
    EXPECT_EQ(engine->song.settings.lineLength, 4410);
    EXPECT_STREQ(engine->song.slots[2].patterns[0].name, "Riff");
    EXPECT_EQ(engine->song.slots[2].sendReverb, 33);
}

// A text file through "All Files", an empty file, a project cut in half: the song in
// memory stays as it was and a box says why.
TEST_F(ProjectCommandsTest, OpeningAFileThatIsNoProjectKeepsTheSongAndSaysWhy) {
    engine->reporter.SetHandler([this](const UserMessage& message) { messages.Show(message); });
    LoadProbe(3);
    engine->song.slots[1].patterns[2].SetName("Keep");
    Save(ScratchFile("whole.vpf"));
    std::ifstream whole(scratch.Path("whole.vpf"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(whole)), {});
    const std::pair<const char*, std::string> files[] = {
        {"notes.txt", "These are the notes for the next song.\n"},
        {"empty.vpf", ""},
        {"half.vpf", bytes.substr(0, bytes.size() / 2)},
    };
    // An unsaved change made after the save, which a refused file must not take away.
    UndoHistory history(*engine);
    project.history = &history;
    history.ChangeSetting(SongSetting::Tempo, 0, engine->song.settings.lineLength + 1, false);
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        std::ofstream(scratch.Path(name), std::ios::binary) << content;
        statuses.clear();
        boxes.clear();
        Answer(QMessageBox::Yes);
        ChooseFile(ScratchFile(name), QFileDialog::AcceptOpen);
        Answer(QMessageBox::Ok);
        project.Open();
        EXPECT_EQ(statuses, QStringList({"Loading project...", "Project opening error..."}));
        ASSERT_EQ(boxes.size(), 2);
        EXPECT_EQ(boxes[1], ScratchFile(name) +
                                " is not a Vantreel project, or is damaged; nothing was changed");
        EXPECT_STREQ(engine->song.slots[1].patterns[2].name, "Keep");
        EXPECT_TRUE(engine->song.slots[3].IsInstanced());
        EXPECT_TRUE(engine->modified.IsModified());
        EXPECT_TRUE(history.CanUndo());
    }
}

// The status text is gone within two seconds; the reason stays in a box until read.
TEST_F(ProjectCommandsTest, ASaveThatFailsSaysWhyInABox) {
    engine->reporter.SetHandler([this](const UserMessage& message) { messages.Show(message); });
    Answer(QMessageBox::Ok); // the alpha warning
    ChooseFile("/proc/vantreel-song.vpf", QFileDialog::AcceptSave);
    Answer(QMessageBox::Ok);
    project.Save();
    EXPECT_EQ(statuses, QStringList({"Saving project...", "Project saving error..."}));
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[1].startsWith("Could not save /proc/vantreel-song.vpf: "))
        << boxes[1].toStdString();
    EXPECT_GT(boxes[1].size(), QString("Could not save /proc/vantreel-song.vpf: ").size() + 4);
}

TEST_F(ProjectCommandsTest, CancellingOpenOrAnsweringNoLeavesTheSong) {
    engine->song.settings.masterVolume = 777;
    Answer(QMessageBox::No);
    project.Open();
    Answer(QMessageBox::Yes);
    ChooseFile("", QFileDialog::AcceptOpen);
    project.Open();
    EXPECT_EQ(engine->song.settings.masterVolume, 777);
    EXPECT_TRUE(statuses.isEmpty());
    EXPECT_EQ(refreshes, 2);
}

} // namespace
} // namespace vantreel::test
