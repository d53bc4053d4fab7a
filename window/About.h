#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <array>

class QLabel;

namespace vorlix::window {

// The version box: the program's icon, product name, version and build, copyright line and a
// comment, all from the build itself. Escape or Enter closes it.
class About final : public QDialog {
    Q_OBJECT

public:
    explicit About(QWidget* parent = nullptr);

    // Puts a picture into the image beside the texts (the application's icon).
    void setIconRes(const QPixmap& picture);

    // "Version M.m  Build r" (two blanks before "Build").
    [[nodiscard]] static QString versionText(int major, int minor, int revision);
    // The four texts of the box: product name, version, copyright line, comment.
    [[nodiscard]] static std::array<QString, 4> labelTexts();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_image1 = nullptr;
    std::array<QLabel*, 4> m_label {};
};

}
