#include "shell/RegistryStore.h"

#include <QFile>
#include <QSaveFile>

namespace vorlix::shell {

namespace {

    const QString kHeader = QStringLiteral("; vorlix registry");

    bool samePath(const QString& a, const QString& b)
    {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    }

    // A key below `ancestor` (at any depth).
    bool isBelow(const QString& path, const QString& ancestor)
    {
        return path.size() > ancestor.size() + 1 && path[ancestor.size()] == u'\\'
            && samePath(path.left(ancestor.size()), ancestor);
    }

    QString quoted(const QString& text)
    {
        QString out;
        out.reserve(text.size() + 2);
        out += u'"';
        for (const QChar c : text) {
            if (c == u'\\' || c == u'"')
                out += u'\\' + QString(c);
            else if (c == u'\n')
                out += QStringLiteral("\\n");
            else if (c == u'\r')
                out += QStringLiteral("\\r");
            else
                out += c;
        }
        return out + u'"';
    }

    // Reads a quoted text starting at `pos` (the opening quote); moves pos past the closing one.
    std::optional<QString> unquoted(const QString& line, qsizetype& pos)
    {
        if (pos >= line.size() || line[pos] != u'"')
            return std::nullopt;
        QString out;
        for (++pos; pos < line.size(); ++pos) {
            const QChar c = line[pos];
            if (c == u'"') {
                ++pos;
                return out;
            }
            if (c == u'\\' && pos + 1 < line.size()) {
                const QChar next = line[++pos];
                out += next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
            } else {
                out += c;
            }
        }
        return std::nullopt;
    }

    // One value line: @="data" or "name"="data".
    std::optional<RegistryStore::Value> valueLine(const QString& line)
    {
        qsizetype pos = 0;
        QString name;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else {
            const auto parsed = unquoted(line, pos);
            if (!parsed)
                return std::nullopt;
            name = *parsed;
        }
        if (pos >= line.size() || line[pos] != u'=')
            return std::nullopt;
        ++pos;
        const auto data = unquoted(line, pos);
        if (!data)
            return std::nullopt;
        return RegistryStore::Value { name, *data };
    }

}

QString RegistryStore::normalPath(const QString& path)
{
    QString flat = path;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    return flat.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

std::optional<RegistryStore> RegistryStore::load(const QString& file)
{
    QFile in(file);
    if (!in.exists())
        return RegistryStore();
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    return fromText(QString::fromUtf8(in.readAll()));
}

bool RegistryStore::save(const QString& file) const
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = toText().toUtf8();
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

QString RegistryStore::toText() const
{
    QString text = kHeader + QStringLiteral("\r\n");
    for (const Key& key : m_keys) {
        text += QStringLiteral("\r\n[") + key.path + QStringLiteral("]\r\n");
        for (const Value& value : key.values) {
            text += value.name.isEmpty() ? QStringLiteral("@") : quoted(value.name);
            text += u'=' + quoted(value.data) + QStringLiteral("\r\n");
        }
    }
    return text;
}

RegistryStore RegistryStore::fromText(const QString& text)
{
    RegistryStore store;
    QString current;
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = normalPath(line.mid(1, line.size() - 2));
            if (!current.isEmpty())
                store.create(current);
        } else if (!current.isEmpty()) {
            if (const auto value = valueLine(line))
                store.setValue(current, value->name, value->data);
        }
    }
    return store;
}

qsizetype RegistryStore::indexOf(const QString& path) const
{
    const QString wanted = normalPath(path);
    for (qsizetype i = 0; i < m_keys.size(); ++i) {
        if (samePath(m_keys[i].path, wanted))
            return i;
    }
    return -1;
}

bool RegistryStore::contains(const QString& path) const
{
    return indexOf(path) >= 0;
}

void RegistryStore::create(const QString& path)
{
    // The first part is a root, which always exists and is not stored.
    const QStringList parts = normalPath(path).split(u'\\', Qt::SkipEmptyParts);
    QString partial = parts.value(0);
    for (qsizetype i = 1; i < parts.size(); ++i) {
        partial += u'\\' + parts[i];
        if (!contains(partial))
            m_keys.append(Key { partial, {} });
    }
}

bool RegistryStore::setValue(const QString& path, const QString& name, const QString& data)
{
    const qsizetype index = indexOf(path);
    if (index < 0)
        return false;
    QList<Value>& values = m_keys[index].values;
    for (Value& value : values) {
        if (samePath(value.name, name)) {
            value.data = data;
            return true;
        }
    }
    values.append(Value { name, data });
    return true;
}

std::optional<QString> RegistryStore::value(const QString& path, const QString& name) const
{
    const qsizetype index = indexOf(path);
    if (index < 0)
        return std::nullopt;
    for (const Value& value : m_keys[index].values) {
        if (samePath(value.name, name))
            return value.data;
    }
    return std::nullopt;
}

QStringList RegistryStore::subkeys(const QString& path) const
{
    const QString parent = normalPath(path);
    QStringList names;
    for (const Key& key : m_keys) {
        if (isBelow(key.path, parent) && !key.path.mid(parent.size() + 1).contains(u'\\'))
            names.append(key.path.mid(parent.size() + 1));
    }
    return names;
}

bool RegistryStore::remove(const QString& path)
{
    const qsizetype index = indexOf(path);
    if (index < 0)
        return false;
    const QString gone = m_keys[index].path;
    m_keys.removeIf(
        [&gone](const Key& key) { return samePath(key.path, gone) || isBelow(key.path, gone); });
    return true;
}

}
