#include "tests/docs/DocsUpdate.h"

#include <QFile>
#include <QSaveFile>

namespace vorlix::test {

bool regeneratingDocs()
{
    return qEnvironmentVariableIntValue("VORLIX_REGENERATE_GOLDEN") == 1;
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

bool writeText(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

}
