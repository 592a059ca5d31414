#include "shell/ProjectCommands.h"

#include "editors/UndoHistory.h"
#include "engine/AudioEngine.h"
#include "shell/BusyCursor.h"
#include "shell/UserMessages.h"

#include <QFileDialog>
#include <QMessageBox>

#include <string>

namespace vantreel {

namespace {

const char* const kCaption = "Vantreel";
const QStringList kFileFilters = {"Vantreel project files (*.vpf)", "All Files (*.*)"};

} // namespace

ProjectCommands::ProjectCommands(AudioEngine& engine, UserMessages& messages, QWidget& owner)
    : engine(engine), messages(messages), owner(owner) {}

void ProjectCommands::New() {
    if (!ConfirmDiscard()) {
        RefreshPanel();
        return;
    }
    {
        BusyCursor busy;
        SetStatus("Cleaning...");
        engine.ClearProject();
        ClearHistory();
        engine.modified.Clear();
        SetStatus("New project");
    }
    RefreshPanel();
}

void ProjectCommands::Open() {
    if (!ConfirmDiscard()) {
        RefreshPanel();
        return;
    }
    const QString path = ChooseFile(false);
    if (path.isEmpty()) {
        RefreshPanel();
        return;
    }
    {
        BusyCursor busy;
        SetStatus("Loading project...");
        const QByteArray name = QFile::encodeName(path);
        // A refused file leaves the song as it was, with its history and its changes.
        std::string problem;
        const bool touchesSong = engine.CheckProjectFile(name.constData(), problem);
        const bool loaded = engine.LoadProject(name.constData());
        if (touchesSong) {
            ClearHistory();
            if (loaded) {
                engine.modified.Clear();
            } else {
                engine.modified.Mark(); // a part-loaded song is in no file
            }
        }
        SetStatus(loaded ? "Project opened ok..." : "Project opening error...");
    }
    RefreshPanel();
}

void ProjectCommands::Save() {
    QMessageBox warning(QMessageBox::Warning, kCaption, kSaveWarning, QMessageBox::Ok, &owner);
    warning.setObjectName("SaveWarning");
    messages.Exec(warning);
    const QString path = ChooseFile(true);
    if (path.isEmpty()) {
        return;
    }
    BusyCursor busy;
    SetStatus("Saving project...");
    const bool saved = engine.SaveProject(QFile::encodeName(path).constData());
    SetStatus(saved ? "Project saved ok..." : "Project saving error...");
    if (saved) {
        engine.modified.Clear();
    }
    if (!saved) {
        // The status text is gone within two seconds; the reason stays until read.
        busy.Release();
        messages.Show({engine.reporter.LastFailure(), kCaption, MessageIcon::Error});
    }
}

bool ProjectCommands::ConfirmDiscard() {
    QMessageBox question(QMessageBox::Question, kCaption, kDiscardQuestion,
                         QMessageBox::Yes | QMessageBox::No, &owner);
    question.setObjectName("DiscardQuestion");
    return messages.Exec(question) == QMessageBox::Yes;
}

// The name as typed: no extension is added here (saving adds ".vpf" itself), so the
// replace question is asked for exactly that name.
QString ProjectCommands::ChooseFile(bool save) {
    QFileDialog dialog(&owner);
    dialog.setObjectName(save ? "SaveProjectDialog" : "OpenProjectDialog");
    dialog.setNameFilters(kFileFilters);
    dialog.selectNameFilter(kFileFilters.first());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

void ProjectCommands::SetStatus(const QString& text) {
    if (setStatusText) {
        setStatusText(text);
    }
}

void ProjectCommands::ClearHistory() {
    if (history != nullptr) {
        history->Clear();
    }
}

void ProjectCommands::RefreshPanel() {
    if (refreshControlPanel) {
        refreshControlPanel();
    }
}

} // namespace vantreel
