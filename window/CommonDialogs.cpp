#include "window/CommonDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QScreen>
#include <QWidget>

namespace vorlix::window {

namespace {

    QString runDialog(QWidget* owner, const QString& fileName, const QString& filter, bool save)
    {
        QFileDialog dialog(owner, save ? QStringLiteral("保存") : QStringLiteral("開く"),
            QDir::currentPath(), filter);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        // Qt's own dialog behaves the same on every desktop and in the tests.
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        if (!fileName.isEmpty())
            dialog.selectFile(fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

}

QString documentFilter()
{
    return QStringLiteral("*.fae *.xml *.mnd (*.fae *.xml *.mnd);;*.* (*)");
}

QString OpenFileDialog(QWidget* owner, const QString& fileName, const QString& filter)
{
    return runDialog(owner, fileName, filter, false);
}

QString SaveFileDialog(QWidget* owner, const QString& fileName, const QString& filter)
{
    return runDialog(owner, fileName, filter, true);
}

void CenterForm(QWidget& form)
{
    const QScreen* screen = form.screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = form.frameGeometry().size();
    form.move(area.left() + (area.width() - size.width()) / 2,
        area.top() + (area.height() - size.height()) / 2);
}

}
