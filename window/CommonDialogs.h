#pragma once

#include <QString>

class QWidget;

// The file dialogs and window placement shared by the windows of the program.
namespace vorlix::window {

// The filter of the document dialogs: faces and data documents, or any file.
[[nodiscard]] QString documentFilter();

// The open dialog ("開く"): the chosen path, or "" when cancelled. The filter lists pairs of a
// description and its patterns, as "Faces (*.fae);;All (*)".
[[nodiscard]] QString OpenFileDialog(
    QWidget* owner, const QString& fileName, const QString& filter);
// The save dialog ("保存"): the chosen path, or "" when cancelled. Overwriting is asked by the
// file object, not here, so that the question comes once.
[[nodiscard]] QString SaveFileDialog(
    QWidget* owner, const QString& fileName, const QString& filter);

// Moves a window to the middle of its screen, its size unchanged.
void CenterForm(QWidget& form);

}
