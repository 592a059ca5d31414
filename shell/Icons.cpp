#include "shell/Icons.h"

#include <QPixmap>

// The resources live in a static library: register them explicitly, since nothing
// else pulls their object file into the program.
static void RegisterResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(vantreel);
        return true;
    }();
    (void)registered;
}

namespace vantreel {

namespace {

QString IconFile(CommandId id) {
    switch (id) {
    case kCmdBlockCut:
        return "cut";
    case kCmdBlockCopy:
        return "copy";
    case kCmdBlockPaste:
        return "paste";
    case kCmdPrint:
        return "print";
    case kCmdAbout:
        return "about";
    case kCmdPlayPattern:
        return "play-pattern";
    case kCmdPlaySong:
        return "play-song";
    case kCmdStop:
        return "stop";
    case kCmdToggleEditMode:
        return "edit-record";
    case kCmdSlaveCursor:
        return "slave-cursor";
    default:
        return {};
    }
}

QIcon LoadIcon(const QString& name) {
    RegisterResources();
    return QIcon(QPixmap(":/icons/" + name + ".xpm"));
}

} // namespace

QIcon CommandIcon(CommandId id) {
    const QString name = IconFile(id);
    return name.isEmpty() ? QIcon() : LoadIcon(name);
}

QIcon ApplicationIcon() {
    return LoadIcon("vantreel");
}

} // namespace vantreel
