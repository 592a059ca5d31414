#pragma once
// The About box: the program's picture, its name and an OK button.

#include <QDialog>
#include <QPixmap>

namespace vantreel {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

// The picture at the top of the box, 600 by 300 pixels, drawn here rather than
// loaded, so it scales with nothing and needs no file.
QPixmap AboutPicture();

constexpr int kAboutPictureWidth = 600;
constexpr int kAboutPictureHeight = 300;

} // namespace vantreel
