#include "shell/ui/MessageBoxPresenter.h"
#include "shell/ModuleState.h"
#include "tests/support/ScopedModuleState.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vorlix::shell;

namespace {

TEST(MessageBoxPresenterTest, StylesChooseButtonsIconAndCaption)
{
    using B = QMessageBox::StandardButton;
    struct Case {
        int style;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
        B defaultButton;
    };
    const Case cases[] = {
        { 0, B::Ok, QMessageBox::NoIcon, B::Ok },
        { 64, B::Ok, QMessageBox::Information, B::Ok },
        { 35, B::Yes | B::No | B::Cancel, QMessageBox::Question, B::Yes },
        { 35 + 256, B::Yes | B::No | B::Cancel, QMessageBox::Question, B::No },
        { 4 + 48, B::Yes | B::No, QMessageBox::Warning, B::Yes },
        { 1 + 16, B::Ok | B::Cancel, QMessageBox::Critical, B::Ok },
        { 2, B::Abort | B::Retry | B::Ignore, QMessageBox::NoIcon, B::Abort },
        { 5 + 512, B::Retry | B::Cancel, QMessageBox::NoIcon, B::Retry },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        const auto box
            = MessageBoxPresenter::build("ファイルが見つかりません", c.style, "請求書/GeneFile");
        EXPECT_EQ(box->windowTitle(), "請求書/GeneFile");
        EXPECT_EQ(box->text(), "ファイルが見つかりません");
        EXPECT_EQ(box->standardButtons(), c.buttons);
        EXPECT_EQ(box->icon(), c.icon);
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->standardButton(box->defaultButton()), c.defaultButton);
    }
}

// Each box answers with the numbers a caller compares against; a box closed without a button
// answers as its Cancel button, or OK when it has none.
TEST(MessageBoxPresenterTest, AnswersUseThePlatformNumbers)
{
    using B = QMessageBox::StandardButton;
    EXPECT_EQ(MessageBoxPresenter::answer(B::Yes, 35), 6);
    EXPECT_EQ(MessageBoxPresenter::answer(B::No, 4), 7);
    EXPECT_EQ(MessageBoxPresenter::answer(B::Cancel, 1), 2);
    EXPECT_EQ(MessageBoxPresenter::answer(B::Ignore, 2), 5);
    EXPECT_EQ(MessageBoxPresenter::answer(B::Retry, 5), 4);
    EXPECT_EQ(MessageBoxPresenter::answer(B::NoButton, 35), 2);
    EXPECT_EQ(MessageBoxPresenter::answer(B::NoButton, 5), 2);
    EXPECT_EQ(MessageBoxPresenter::answer(B::NoButton, 64), 1);
    EXPECT_EQ(MessageBoxPresenter::answer(B::NoButton, 4), 1);
}

// Presses a button of the message box that is about to be shown.
void pressWhenShown(QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, [button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(button)->click();
    });
}

TEST(MessageBoxPresenterTest, InstalledPresenterShowsTheBoxAndReturnsThePressedButton)
{
    vorlix::test::ScopedModuleState state(RunModes::Window);
    installMessageBoxPresenter();
    const std::pair<QMessageBox::StandardButton, int> cases[] = {
        { QMessageBox::No, 7 },
        { QMessageBox::Yes, 6 },
        { QMessageBox::Cancel, 2 },
    };
    for (const auto& [button, number] : cases) {
        pressWhenShown(button);
        EXPECT_EQ(ShowMessage("保存しますか", 35), number);
    }
    pressWhenShown(QMessageBox::Ok);
    EXPECT_EQ(ShowMessage("完了しました", 64), 1);
}

}
