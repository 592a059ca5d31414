#include "shell/QuickHelpDialog.h"

#include "shell/QuickHelpText.h"
#include "shell/UserMessages.h"

#include <QLabel>
#include <QMessageBox>
#include <QStringList>
#include <QTextDocument>

#include <cmath>

namespace vantreel {

namespace {

// The text's tab columns as a table: tab stops in a proportional font never line the
// descriptions up. Spaces are kept from breaking, so no line wraps.
QString Cell(const QString& text) {
    return text.toHtmlEscaped().replace(' ', "&nbsp;");
}

QString AsTable(const QString& text) {
    QString html = "<table cellspacing=\"0\" cellpadding=\"1\">";
    for (const QString& line : text.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        const QString key = tab < 0 ? line : line.left(tab);
        const QString description = tab < 0 ? QString() : line.mid(tab).remove('\t');
        html += "<tr><td>" + Cell(key) + "</td><td style=\"padding-left:16px\">" +
                Cell(description) + "</td></tr>";
    }
    return html + "</table>";
}

// The width the table needs on one line per row, in the label's font.
int NaturalWidth(const QLabel& label) {
    QTextDocument document;
    document.setDefaultFont(label.font());
    document.setHtml(label.text());
    return int(std::ceil(document.idealWidth())) + 2 * label.margin();
}

} // namespace

void ShowQuickHelp(UserMessages& messages) {
    QMessageBox box(QMessageBox::Information, "Vantreel", AsTable(kQuickHelpText), QMessageBox::Ok,
                    &messages.Owner());
    box.setObjectName("QuickHelp");
    box.setTextFormat(Qt::RichText);
    // The box narrows wide texts to wrap them; this one must keep its lines whole.
    if (auto* label = box.findChild<QLabel*>("qt_msgbox_label")) {
        label->setMinimumWidth(NaturalWidth(*label));
    }
    messages.Exec(box);
}

} // namespace vantreel
