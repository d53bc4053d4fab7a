#include "shell/ProgramInfo.h"

#include "shell/CodePage.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdio>

namespace vorlix::shell {

namespace {

    // Only the X11 and Wayland platforms need a display server; the others draw on their own.
    bool platformUsable(const QString& platform, bool x11, bool wayland)
    {
        if (platform == u"xcb")
            return x11;
        if (platform.startsWith(u"wayland"))
            return wayland;
        return true;
    }

}

QString usageText(const QString& synopsis, std::span<const UsageLine> switches)
{
    qsizetype width = 0;
    for (const UsageLine& line : switches)
        width = std::max(width, QString::fromUtf8(line.switchText).size());
    QString text = synopsis;
    if (!text.endsWith(u'\n'))
        text += u'\n';
    for (const UsageLine& line : switches) {
        text += QStringLiteral("  ") + QString::fromUtf8(line.switchText).leftJustified(width + 2)
            + QString::fromUtf8(line.meaning) + u'\n';
    }
    return text;
}

QString versionText(const QString& program)
{
    return program + QStringLiteral(" " VORLIX_VERSION "\nQt ") + QString::fromLatin1(qVersion())
        + u'\n';
}

std::optional<int> answerHelpOrVersion(
    const QStringList& arguments, const QString& program, const QString& usage)
{
    if (arguments.isEmpty())
        return std::nullopt;
    QString text;
    if (arguments.front() == u"--help")
        text = usage;
    else if (arguments.front() == u"--version")
        text = versionText(program);
    else
        return std::nullopt;
    const QByteArray bytes = toLocaleBytes(text);
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

bool hasDisplay()
{
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (chosen.isEmpty())
        return x11 || wayland;
    // "xcb", "wayland;xcb", "offscreen", "vnc:size=800x600": the first usable one is taken.
    for (const QString& entry : chosen.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString platform = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        if (platformUsable(platform, x11, wayland))
            return true;
    }
    return false;
}

}
