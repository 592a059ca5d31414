#pragma once
// The plug-in browser ("Open..."): lists the plug-in files of the plug-in folder
// and lets the user pick one, or another folder. Ending with OK (double-click or
// Enter) means: load the selected file into the current slot.
//
// Threads: user-interface thread.

#include <QDialog>

#include <string>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vantreel {

class AudioEngine;
class UserMessages;

class PluginBrowserDialog : public QDialog {
    Q_OBJECT
public:
    // Finds the plug-in folder (with its message when there is none) and lists it.
    PluginBrowserDialog(AudioEngine& engine, UserMessages& messages, QWidget* parent = nullptr);

    // The entry picked last, or "none" when nothing was picked.
    const std::string& SelectedName() const { return selected; }

    QListWidget& List() { return *list; }
    QLineEdit& NameField() { return *name; }
    QLineEdit& PathField() { return *path; }
    QPushButton& RefreshButton() { return *refresh; }
    QPushButton& BrowseButton() { return *browse; }

    // "Refresh": after the notice, the folder in the path field becomes the plug-in
    // folder and only its files are listed.
    void RefreshFolder();
    // "Browse...": a folder picker, starting in the plug-in folder; a folder picked is
    // put in the path field and refreshed.
    void BrowseFolder();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceControls();
    // The plug-in folder's files, and with `wholeSearchPath` those of the rest of the
    // search path; the first entry is selected.
    void ListFolder(bool wholeSearchPath);
    void OnSelectionChanged();

    AudioEngine& engine;
    UserMessages& messages;
    std::string selected;
    QListWidget* list;
    QLineEdit* name;
    QLineEdit* path;
    QPushButton* refresh;
    QPushButton* browse;
};

} // namespace vantreel
