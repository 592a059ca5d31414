#include "shell/PluginBrowserDialog.h"

#include "engine/AudioEngine.h"
#include "engine/PluginCommands.h"
#include "plugins/PluginListing.h"
#include "shell/DialogUnits.h"
#include "shell/PanelText.h"
#include "shell/UserMessages.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace vantreel {

namespace {

const char* const kCaption = "Plugin browser";
const char* const kFolderPickerTitle = "Select your VST plugins folder:";
constexpr int kDialogWidth = 198; // dialog units
constexpr int kDialogHeight = 392;
constexpr DialogRect kListLabelRect{4, 4, 190, 10};
constexpr DialogRect kListRect{4, 16, 190, 320};
constexpr DialogRect kNameLabelRect{4, 340, 24, 12};
constexpr DialogRect kNameRect{30, 340, 164, 12};
constexpr DialogRect kPathLabelRect{4, 356, 24, 12};
constexpr DialogRect kPathRect{30, 356, 164, 12};
constexpr DialogRect kRefreshRect{30, 374, 80, 14};
constexpr DialogRect kBrowseRect{114, 374, 80, 14};

QString ToQString(const std::string& text) {
    return FromEightBit(text);
}

std::string ToFileName(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

// The way file lists have always been sorted here: without regard to case. LV2
// instruments sort in among the files by the names shown.
void SortEntries(std::vector<PluginEntry>& entries) {
    std::stable_sort(
        entries.begin(), entries.end(), [](const PluginEntry& a, const PluginEntry& b) {
            return ToQString(a.shown).compare(ToQString(b.shown), Qt::CaseInsensitive) < 0;
        });
}

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

UserMessage FolderTooLongMessage() {
    return {"The folder name is too long: a plug-in folder may have at most 63 characters.",
            "Vantreel", MessageIcon::Error};
}

} // namespace

PluginBrowserDialog::PluginBrowserDialog(AudioEngine& engine, UserMessages& messages,
                                         QWidget* parent)
    : QDialog(parent), engine(engine), messages(messages), selected(kNoSelection),
      list(new QListWidget(this)), name(new QLineEdit(this)), path(new QLineEdit(this)),
      refresh(new QPushButton("Refresh", this)), browse(new QPushButton("Browse...", this)) {
    setObjectName("PluginBrowserDialog");
    setWindowTitle(kCaption);
    setFont(DialogFont());
    PlaceControls();
    name->setReadOnly(true);
    path->installEventFilter(this);
    // Enter anywhere but in the path field loads; the buttons never take it.
    refresh->setAutoDefault(false);
    browse->setAutoDefault(false);

    connect(list, &QListWidget::itemSelectionChanged, this,
            &PluginBrowserDialog::OnSelectionChanged);
    connect(list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(path, &QLineEdit::textEdited, this, [this] { refresh->setEnabled(true); });
    connect(refresh, &QPushButton::clicked, this, &PluginBrowserDialog::RefreshFolder);
    connect(browse, &QPushButton::clicked, this, &PluginBrowserDialog::BrowseFolder);

    LocatePluginFolder(engine);
    ListFolder(true);
    refresh->setEnabled(false);
    list->setFocus();
}

void PluginBrowserDialog::PlaceControls() {
    const DialogBaseUnits units = BaseUnitsOf(font());
    setFixedSize(ToPixels(kDialogWidth, kDialogHeight, units));
    auto* listLabel = new QLabel("Plugin list", this);
    listLabel->setGeometry(ToPixels(kListLabelRect, units));
    auto* nameLabel = new QLabel("Name", this);
    nameLabel->setGeometry(ToPixels(kNameLabelRect, units));
    auto* pathLabel = new QLabel("Path", this);
    pathLabel->setGeometry(ToPixels(kPathLabelRect, units));
    list->setGeometry(ToPixels(kListRect, units));
    name->setGeometry(ToPixels(kNameRect, units));
    path->setGeometry(ToPixels(kPathRect, units));
    path->setAlignment(Qt::AlignCenter);
    refresh->setGeometry(ToPixels(kRefreshRect, units));
    browse->setGeometry(ToPixels(kBrowseRect, units));
}

void PluginBrowserDialog::ListFolder(bool wholeSearchPath) {
    path->setText(ToQString(engine.pluginFolder));
    list->clear();
    std::vector<PluginEntry> entries = PluginEntriesWith(
        wholeSearchPath ? ListPlugins(engine) : PluginFilesIn(engine.pluginFolder));
    SortEntries(entries);
    for (const PluginEntry& entry : entries) {
        auto* item = new QListWidgetItem(ToQString(entry.shown), list);
        item->setData(Qt::UserRole, ToQString(entry.name));
    }
    // Enter right away loads the first entry, not a library named "none".
    if (list->count() > 0) {
        list->setCurrentRow(0);
    }
}

void PluginBrowserDialog::OnSelectionChanged() {
    const QList<QListWidgetItem*> items = list->selectedItems();
    if (items.isEmpty()) {
        return;
    }
    selected = ToFileName(items.front()->data(Qt::UserRole).toString());
    name->setText(items.front()->text());
}

void PluginBrowserDialog::RefreshFolder() {
    messages.Show(FolderChangeNotice());
    if (!SetPluginFolder(engine, ToFileName(path->text()))) {
        messages.Show(FolderTooLongMessage());
    }
    // The folder the user chose, and only it.
    ListFolder(false);
    refresh->setEnabled(false);
}

void PluginBrowserDialog::BrowseFolder() {
    QFileDialog picker(this, kFolderPickerTitle);
    picker.setObjectName("PluginFolderPicker");
    picker.setFileMode(QFileDialog::Directory);
    picker.setOption(QFileDialog::ShowDirsOnly);
    picker.setDirectory(ToQString(engine.pluginFolder));
    if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty()) {
        return;
    }
    path->setText(picker.selectedFiles().first());
    RefreshFolder();
}

void PluginBrowserDialog::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event)) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool PluginBrowserDialog::eventFilter(QObject* watched, QEvent* event) {
    // In the path field Enter lists the folder typed there instead of loading.
    if (watched == path && event->type() == QEvent::KeyPress &&
        IsEnter(static_cast<QKeyEvent*>(event))) {
        if (refresh->isEnabled()) {
            RefreshFolder();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vantreel
