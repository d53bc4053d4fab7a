#include "shell/ui/MessageBoxPresenter.h"

#include "shell/ModuleState.h"

#include <QList>
#include <iterator>
#include <utility>

namespace vorlix::shell {

namespace {

    constexpr int kButtonMask = 0x0F;
    constexpr int kIconMask = 0xF0;
    constexpr int kDefaultMask = 0xF00;

    using Button = QMessageBox::StandardButton;

    // The buttons of each button code (the low four bits of a style), as the box shows them.
    const QList<Button> kButtonSets[] = {
        { Button::Ok },
        { Button::Ok, Button::Cancel },
        { Button::Abort, Button::Retry, Button::Ignore },
        { Button::Yes, Button::No, Button::Cancel },
        { Button::Yes, Button::No },
        { Button::Retry, Button::Cancel },
    };

    // The icon flags (bits 4 to 7 of a style).
    constexpr std::pair<int, QMessageBox::Icon> kIcons[] = {
        { 16, QMessageBox::Critical },
        { 32, QMessageBox::Question },
        { 48, QMessageBox::Warning },
        { 64, QMessageBox::Information },
    };

    // The answer the platform gives for each button.
    constexpr std::pair<Button, int> kAnswers[] = {
        { Button::Ok, 1 },
        { Button::Cancel, 2 },
        { Button::Abort, 3 },
        { Button::Retry, 4 },
        { Button::Ignore, 5 },
        { Button::Yes, 6 },
        { Button::No, 7 },
    };

    QList<Button> buttonsOf(int style)
    {
        const int code = style & kButtonMask;
        return code < static_cast<int>(std::size(kButtonSets)) ? kButtonSets[code] : kButtonSets[0];
    }

    QMessageBox::Icon iconOf(int style)
    {
        for (const auto& [flag, icon] : kIcons) {
            if ((style & kIconMask) == flag)
                return icon;
        }
        return QMessageBox::NoIcon;
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
    for (const auto& [button, number] : kAnswers) {
        if (button == pressed)
            return number;
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
