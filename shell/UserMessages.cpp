#include "shell/UserMessages.h"

namespace vantreel {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Error:
        break;
    }
    return QMessageBox::Critical;
}

} // namespace

void UserMessages::Show(const UserMessage& message) {
    QMessageBox box(BoxIcon(message.icon), QString::fromStdString(message.caption),
                    QString::fromStdString(message.text), QMessageBox::Ok, &owner);
    Exec(box);
}

int UserMessages::Exec(QMessageBox& box) {
    ++openBoxes;
    const int button = box.exec();
    --openBoxes;
    return button;
}

void UserMessages::ShowPendingReports(Reporter& reporter) {
    if (!BoxOpen()) {
        reporter.ShowPending();
    }
}

} // namespace vantreel
