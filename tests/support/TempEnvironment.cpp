#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

namespace vorlix::test {

TempEnvironment::TempEnvironment()
    : m_dir(QDir::tempPath() + "/vorlix-env-XXXXXX")
{
    const QByteArray r = root().toLocal8Bit();
    set("HOME", r);
    set("XDG_CONFIG_HOME", r + "/config");
    set("XDG_DATA_HOME", r + "/data");
    set("profiles", std::nullopt);
}

TempEnvironment::~TempEnvironment()
{
    for (const auto& [name, value] : m_saved) {
        if (value)
            setenv(name.constData(), value->constData(), 1);
        else
            unsetenv(name.constData());
    }
}

QProcessEnvironment TempEnvironment::processEnvironment() const
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("HOME"), root());
    e.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    e.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    e.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    e.remove(QStringLiteral("profiles"));
    return e;
}

void TempEnvironment::set(const char* name, const std::optional<QByteArray>& value)
{
    const QByteArray key(name);
    if (!m_saved.contains(key)) {
        const char* old = std::getenv(name);
        m_saved[key] = old ? std::optional<QByteArray>(QByteArray(old)) : std::nullopt;
    }
    if (value)
        setenv(name, value->constData(), 1);
    else
        unsetenv(name);
}

QByteArray readFileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

}
