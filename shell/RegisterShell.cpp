#include "shell/RegisterShell.h"

#include "shell/DesktopIntegration.h"
#include "shell/Registry.h"
#include "shell/Setting.h"

namespace vorlix::shell {

namespace {

    const QString kClass = QStringLiteral("vorlix");
    const QString kMimeType = QStringLiteral("text/x-vorlix");

    // An extension linked to the class, or removed with all it holds.
    void linkExtension(Registry& registry, const QString& extension, bool linked)
    {
        if (linked)
            registry.setShellLink(extension, kClass);
        else
            registry.delKey(Registry::Root(), extension);
    }

    void writeContentType(Registry& registry, const QString& extension)
    {
        if (registry.KeyOpen(Registry::Root(), extension))
            registry.setValue(QStringLiteral("Content Type"), kMimeType);
        registry.KeyClose();
    }

    void registerClass(Registry& registry, const DesktopIntegration::Choice& choice)
    {
        if (!choice.fae && !choice.mnd) {
            registry.delKey(Registry::Root(), kClass);
            return;
        }
        // The program with a trailing blank, as every command of the class starts.
        const QString program = DesktopIntegration::defaultExecutable() + u' ';
        const QString open = choice.vopt ? QStringLiteral("-v %1") : QStringLiteral("%1");
        registry.setAppAction(kClass, QStringLiteral("open"), program + open, true);
        registry.setAppAction(
            kClass, QStringLiteral("print"), program + QStringLiteral("-p %1"), false);
        registry.setAppIcon(kClass, program, 5);
    }

}

void RegisterShell()
{
    const QString reg = QStringLiteral("reg");
    DesktopIntegration::Choice choice;
    choice.fae = settingFlag(reg, QStringLiteral("fae"));
    choice.mnd = settingFlag(reg, QStringLiteral("mnd"));
    choice.vopt = settingFlag(reg, QStringLiteral("vopt"));
    choice.mime = settingFlag(reg, QStringLiteral("mime"));

    Registry registry;
    linkExtension(registry, QStringLiteral(".fae"), choice.fae);
    linkExtension(registry, QStringLiteral(".mnd"), choice.mnd);
    if (choice.mime) {
        registry.setMimeType(QStringLiteral(".mnd"), kMimeType);
        if (choice.fae)
            writeContentType(registry, QStringLiteral(".fae"));
        if (choice.mnd)
            writeContentType(registry, QStringLiteral(".mnd"));
    } else {
        registry.delKey(
            Registry::Root(), QStringLiteral("MIME\\Database\\Content Type\\") + kMimeType);
    }
    registerClass(registry, choice);

    DesktopIntegration().apply(choice);
}

}
