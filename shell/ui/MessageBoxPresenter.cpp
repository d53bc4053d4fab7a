#include "shell/ui/MessageBoxPresenter.h"

#include "shell/ModuleState.h"

#include <QList>

namespace vorlix::shell {

namespace {

    constexpr int kButtonMask = 0x0F;
    constexpr int kIconMask = 0xF0;
    constexpr int kDefaultMask = 0xF00;

    QList<QMessageBox::StandardButton> buttonsOf(int style)
    {
        using B = QMessageBox::StandardButton;
        switch (style & kButtonMask) {
        case 1:
            return { B::Ok, B::Cancel };
        case 2:
            return { B::Abort, B::Retry, B::Ignore };
        case 3:
            return { B::Yes, B::No, B::Cancel };
        case 4:
            return { B::Yes, B::No };
        case 5:
            return { B::Retry, B::Cancel };
        default:
            return { B::Ok };
        }
    }

    QMessageBox::Icon iconOf(int style)
    {
        switch (style & kIconMask) {
        case 16:
            return QMessageBox::Critical;
        case 32:
            return QMessageBox::Question;
        case 48:
            return QMessageBox::Warning;
        case 64:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
        }
    }

}

std::unique_ptr<QMessageBox> MessageBoxPresenter::build(
    const QString& prompt, int style, const QString& caption)
{
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(caption);
    box->setText(prompt);
    box->setIcon(iconOf(style));
    const auto buttons = buttonsOf(style);
    QMessageBox::StandardButtons set;
    for (const auto b : buttons)
        set |= b;
    box->setStandardButtons(set);
    const qsizetype index = (style & kDefaultMask) >> 8;
    box->setDefaultButton(buttons.value(index, buttons.first()));
    if (set.testFlag(QMessageBox::Cancel))
        box->setEscapeButton(QMessageBox::Cancel);
    else if (buttons.size() == 1)
        box->setEscapeButton(buttons.first());
    return box;
}

int MessageBoxPresenter::answer(QMessageBox::StandardButton pressed, int style)
{
    switch (pressed) {
    case QMessageBox::Ok:
        return 1;
    case QMessageBox::Cancel:
        return 2;
    case QMessageBox::Abort:
        return 3;
    case QMessageBox::Retry:
        return 4;
    case QMessageBox::Ignore:
        return 5;
    case QMessageBox::Yes:
        return 6;
    case QMessageBox::No:
        return 7;
    default:
        break;
    }
    return buttonsOf(style).contains(QMessageBox::Cancel) ? 2 : 1;
}

int MessageBoxPresenter::present(const QString& prompt, int style, const QString& caption)
{
    const auto box = build(prompt, style, caption);
    box->exec();
    const auto pressed
        = box->clickedButton() ? box->standardButton(box->clickedButton()) : QMessageBox::NoButton;
    return answer(pressed, style);
}

void installMessageBoxPresenter()
{
    moduleState().ui.presenter = [](const QString& prompt, int buttons, const QString& caption) {
        return MessageBoxPresenter::present(prompt, buttons, caption);
    };
}

}
