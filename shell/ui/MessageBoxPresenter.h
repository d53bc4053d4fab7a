#pragma once

#include <QMessageBox>
#include <QString>
#include <memory>

namespace vorlix::shell {

// Shows ShowMessage's questions as modal QMessageBoxes with the caption ShowMessage chose.
// Styles and answers keep the platform's numbers: the low four bits choose the buttons (0 OK,
// 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel), 16/32/48/64 the
// icon, 256/512 the default button; answers are 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes,
// 7 No.
class MessageBoxPresenter {
public:
    // The box for a prompt, style and caption, not yet shown.
    [[nodiscard]] static std::unique_ptr<QMessageBox> build(
        const QString& prompt, int style, const QString& caption);

    // The platform's number for a pressed button; a box closed without a button answers Cancel
    // when it has one, else OK.
    [[nodiscard]] static int answer(QMessageBox::StandardButton pressed, int style);

    // Shows the box modally and returns the answer.
    static int present(const QString& prompt, int style, const QString& caption);
};

// Makes ShowMessage show message boxes; the window program calls this once at start.
void installMessageBoxPresenter();

}
