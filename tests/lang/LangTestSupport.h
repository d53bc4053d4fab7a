#pragma once

#include "lang/DControl.h"
#include "render/FakeTextMetrics.h"
#include "render/PageCollector.h"
#include "shell/CodePage.h"
#include "shell/ModuleState.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryFile>
#include <memory>

namespace vorlix::test {

// Sends the debug log into a temporary file for the lifetime of the object.
class LogCapture {
public:
    LogCapture()
        : m_saved(shell::moduleState().StdOutHandle)
    {
        m_file.open();
        shell::moduleState().StdOutHandle = m_file.handle();
    }
    ~LogCapture() { shell::moduleState().StdOutHandle = m_saved; }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Every line logged so far.
    QStringList lines()
    {
        QFile reader(m_file.fileName());
        if (!reader.open(QIODevice::ReadOnly))
            return {};
        QStringList all = shell::fromLocaleBytes(reader.readAll()).split(QStringLiteral("\r\n"));
        if (!all.isEmpty() && all.last().isEmpty())
            all.removeLast();
        return all;
    }
    // The lines that begin with the prefix.
    QStringList linesStartingWith(const QString& prefix)
    {
        QStringList picked;
        for (const QString& line : lines()) {
            if (line.startsWith(prefix))
                picked << line;
        }
        return picked;
    }

private:
    int m_saved;
    QTemporaryFile m_file;
};

// An interpreter with fixed text metrics bound to an in-memory print job: A4 portrait at
// 400 dpi, so that one face unit is 400 / 254 device units.
struct BoundInterpreter {
    render::PageCollector sink { true };
    lang::DControl control { std::make_shared<render::FakeTextMetrics>() };

    BoundInterpreter() { control.SetObject(sink, 0, 400, 1.0, 2100, 2970, 0, 0); }

    // The dump of every printed page, joined.
    QString dumps() const
    {
        QString all;
        for (const auto& page : sink.pages())
            all += page.dump();
        return all;
    }
};

}
