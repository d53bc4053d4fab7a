#include "window/DocumentExport.h"

#include "render/PrinterObject.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/PdfCheck.h"
#include "tests/support/PdfPixels.h"
#include "tests/window/WindowTestSupport.h"
#include "window/BottomBar.h"
#include "window/Menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

using vorlix::window::Menu;
using vorlix::window::MenuId;
using namespace vorlix::test;

// PDF に出力 writes the pages of the range chosen to the file chosen, of the type its name or the
// dialog's type gives; a file that cannot be written is told with its name and the reason.
TEST(DocumentExportTest, TheWindowWritesTheChosenPagesToTheChosenFile)
{
    const struct {
        const char* name;
        QString file; // as typed into the file dialog, in the folder "out"
        QString filter;
        int from, to; // 0: every page
        QString written; // the file expected ("" when nothing is written)
        int pages;
    } cases[] = {
        { "every page", QStringLiteral("all.pdf"), QStringLiteral("PDF (*.pdf)"), 0, 0,
            QStringLiteral("all.pdf"), 5 },
        { "a range", QStringLiteral("part.pdf"), QStringLiteral("PDF (*.pdf)"), 2, 3,
            QStringLiteral("part.pdf"), 2 },
        { "a suffix of its own", QStringLiteral("named.pdf"), QStringLiteral("SVG (*.svg)"), 4, 4,
            QStringLiteral("named.pdf"), 1 },
        { "the type chosen", QStringLiteral("pages"), QStringLiteral("PNG (*.png)"), 4, 5,
            QStringLiteral("pages-1.png"), 2 },
        { "a folder gone", QStringLiteral("gone/lost.pdf"), QStringLiteral("PDF (*.pdf)"), 0, 0,
            QString(), 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowEnvironment w;
        MessageRecorder messages(Ok);
        const QString out = w.path(QStringLiteral("out"));
        ASSERT_TRUE(QDir().mkpath(out + QStringLiteral("/gone")));
        Menu menu(*w.source);
        menu.show();
        QCoreApplication::processEvents();
        menu.fileCommands().openName(w.path(QStringLiteral("invoice.mnd")));

        ModalAnswer file(
            [&](QWidget& dialog) {
                auto& files = static_cast<QFileDialog&>(dialog);
                files.selectNameFilter(c.filter);
                files.selectFile(out + u'/' + c.file);
                static_cast<QDialog&>(files).accept();
            },
            "QFileDialog");
        int offered = 0;
        ModalAnswer range(
            [&](QWidget& dialog) {
                offered = dialog.findChild<QSpinBox*>(QStringLiteral("to"))->maximum();
                if (c.from > 0) {
                    dialog.findChild<QRadioButton*>(QStringLiteral("printRange"))->click();
                    dialog.findChild<QSpinBox*>(QStringLiteral("to"))->setValue(c.to);
                    dialog.findChild<QSpinBox*>(QStringLiteral("from"))->setValue(c.from);
                }
                if (c.written.isEmpty())
                    QDir(out + QStringLiteral("/gone")).removeRecursively();
                dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
            },
            "vorlix::window::ExportRange");
        menu.action(MenuId::Export)->trigger();
        ASSERT_TRUE(file.answered());
        ASSERT_TRUE(range.answered());
        EXPECT_EQ(offered, 5);
        EXPECT_TRUE(vorlix::render::PrinterObject::current().exportFile().isEmpty());

        if (c.written.isEmpty()) {
            const QString told = out + QStringLiteral("/gone/lost.pdf: 書き込めませんでした");
            ASSERT_EQ(messages.prompts.size(), 1u);
            EXPECT_TRUE(messages.prompts[0].text.startsWith(told + QStringLiteral(" (")))
                << messages.prompts[0].text.toStdString();
            EXPECT_TRUE(menu.bottomBar().message().startsWith(told));
            continue;
        }
        EXPECT_TRUE(messages.prompts.empty()) << promptTexts(messages).join(u'|').toStdString();
        const QString written = out + u'/' + c.written;
        EXPECT_TRUE(menu.bottomBar().message().contains(QStringLiteral("に出力しました")));
        ASSERT_TRUE(QFileInfo::exists(written));
        if (written.endsWith(QStringLiteral(".pdf"))) {
            PdfCheck::expectSound(written);
            EXPECT_EQ(PdfPixels::render(written, 10).size(), c.pages);
        } else {
            EXPECT_EQ(QDir(out).entryList({ QStringLiteral("pages-*.png") }).size(), c.pages);
        }
    }
}

}
