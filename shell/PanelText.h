#pragma once
// A centred text of the control panel. It keeps the whole text and shows it cut
// short with an ellipsis when it is wider than its place; the tool tip shows it
// whole.

#include <QLabel>

#include <string>

namespace vantreel {

class PanelText : public QLabel {
public:
    explicit PanelText(QWidget* parent);

    void SetFullText(const QString& text);
    const QString& FullText() const { return fullText; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowElided();

    QString fullText;
};

// Plug-in texts and library names are 8-bit: UTF-8 when they read as such, else
// Latin-1.
QString FromEightBit(const std::string& text);

} // namespace vantreel
