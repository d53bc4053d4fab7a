#include "tests/support/CupsSandbox.h"
#include "tests/support/MissingTool.h"
#include "tests/support/ModalAnswer.h"
#include "tests/window/WindowTestSupport.h"
#include "window/Menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <gtest/gtest.h>

namespace {

using namespace vorlix::test;

// A print server whose last queue has gone: 印刷 says so before any dialog could list nothing.
TEST(NoPrinterTest, PrintingSaysSoBeforeAnyDialog)
{
    CupsSandbox cups({ QStringLiteral("VorlixOnly") });
    if (!cups.unavailable().isEmpty())
        VORLIX_SKIP_WITHOUT_TOOL(cups.unavailable().toStdString());
    ASSERT_EQ(cups.client(QStringLiteral("lpadmin"),
                  { QStringLiteral("-x"), QStringLiteral("VorlixOnly") }),
        0);
    cups.useInThisProcess();
    WindowEnvironment w;
    MessageRecorder messages(No);
    vorlix::window::Menu menu(*w.source);
    menu.show();
    QCoreApplication::processEvents();
    menu.fileCommands().openName(w.path(QStringLiteral("invoice.mnd")));
    QString dialogs;
    ModalAnswer answer([&](QWidget& dialog) {
        dialogs += QString::fromLatin1(dialog.metaObject()->className());
        qobject_cast<QDialog*>(&dialog)->reject();
    });
    menu.action(vorlix::window::MenuId::Printer)->trigger();
    EXPECT_EQ(dialogs, QString());
    EXPECT_EQ(promptTexts(messages),
        QStringList { QStringLiteral("プリンタがありません\r\nPDF に出力しますか?") });
}

}
