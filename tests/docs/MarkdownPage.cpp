#include "tests/docs/MarkdownPage.h"

#include <QFile>
#include <QRegularExpression>

namespace vorlix::test {

namespace {

    const QRegularExpression QuoteMarker(QStringLiteral("^<!-- example: (\\S+) -->$"));
    const QRegularExpression Link(QStringLiteral("\\]\\(([^)\\s]+)\\)"));
    const QRegularExpression Anchor(QStringLiteral("<a id=\"([^\"]+)\"></a>"));

    bool isFence(const QString& line)
    {
        return line.startsWith(QStringLiteral("```"));
    }

    QString beginMarker(const QString& name)
    {
        return QStringLiteral("<!-- %1:begin -->\n").arg(name);
    }

    QString endMarker(const QString& name)
    {
        return QStringLiteral("<!-- %1:end -->").arg(name);
    }

}

MarkdownPage::MarkdownPage(QString text)
    : m_text(std::move(text))
{
}

MarkdownPage MarkdownPage::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return MarkdownPage(QString());
    return MarkdownPage(QString::fromUtf8(file.readAll()));
}

QList<bool> MarkdownPage::fencedLines(const QStringList& lines) const
{
    QList<bool> fenced;
    bool inside = false;
    for (const QString& line : lines) {
        if (isFence(line)) {
            fenced << true;
            inside = !inside;
        } else {
            fenced << inside;
        }
    }
    return fenced;
}

QList<MarkdownPage::Quote> MarkdownPage::quotes() const
{
    const QStringList lines = m_text.split(u'\n');
    const QList<bool> fenced = fencedLines(lines);
    QList<Quote> found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto match = QuoteMarker.match(lines[i]);
        if (fenced[i] || !match.hasMatch())
            continue;
        Quote quote;
        quote.example = match.captured(1);
        quote.line = static_cast<int>(i + 1);
        if (i + 1 < lines.size() && isFence(lines[i + 1])) {
            QStringList block;
            qsizetype j = i + 2;
            for (; j < lines.size() && !isFence(lines[j]); ++j)
                block << lines[j];
            quote.hasBlock = j < lines.size();
            quote.block = block.join(u'\n');
        }
        found << quote;
    }
    return found;
}

QStringList MarkdownPage::links() const
{
    const QStringList lines = m_text.split(u'\n');
    const QList<bool> fenced = fencedLines(lines);
    QStringList found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (fenced[i])
            continue;
        auto it = Link.globalMatch(lines[i]);
        while (it.hasNext())
            found << it.next().captured(1);
    }
    return found;
}

QStringList MarkdownPage::anchors() const
{
    const QStringList lines = m_text.split(u'\n');
    const QList<bool> fenced = fencedLines(lines);
    QStringList found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (fenced[i])
            continue;
        auto it = Anchor.globalMatch(lines[i]);
        while (it.hasNext())
            found << it.next().captured(1);
    }
    return found;
}

QStringList MarkdownPage::headings() const
{
    const QStringList lines = m_text.split(u'\n');
    const QList<bool> fenced = fencedLines(lines);
    QStringList found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!fenced[i] && lines[i].startsWith(u'#'))
            found << lines[i].section(u' ', 1).trimmed();
    }
    return found;
}

QString MarkdownPage::section(const QString& anchor) const
{
    const QString marker = QStringLiteral("<a id=\"%1\"></a>").arg(anchor);
    const qsizetype start = m_text.indexOf(marker);
    if (start < 0)
        return {};
    const QString prefix = anchor.section(u'-', 0, 0) + u'-';
    const qsizetype next
        = m_text.indexOf(QStringLiteral("<a id=\"") + prefix, start + marker.size());
    return m_text.mid(start, next < 0 ? -1 : next - start);
}

QString MarkdownPage::generated(const QString& name) const
{
    const qsizetype begin = m_text.indexOf(beginMarker(name));
    const qsizetype end = m_text.indexOf(endMarker(name));
    if (begin < 0 || end < begin)
        return {};
    const qsizetype from = begin + beginMarker(name).size();
    return m_text.mid(from, end - from);
}

bool MarkdownPage::setGenerated(const QString& name, const QString& content)
{
    const qsizetype begin = m_text.indexOf(beginMarker(name));
    const qsizetype end = m_text.indexOf(endMarker(name));
    if (begin < 0 || end < begin)
        return false;
    const qsizetype from = begin + beginMarker(name).size();
    m_text.replace(from, end - from, content);
    return true;
}

bool MarkdownPage::setQuote(const QString& example, const QString& content)
{
    QStringList lines = m_text.split(u'\n');
    const QList<bool> fenced = fencedLines(lines);
    bool replaced = false;
    // From the end, so that the lines before a replaced block keep their places.
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const auto match = QuoteMarker.match(lines[i]);
        if (fenced[i] || !match.hasMatch() || match.captured(1) != example)
            continue;
        if (i + 1 >= lines.size() || !isFence(lines[i + 1]))
            continue;
        qsizetype end = i + 2;
        while (end < lines.size() && !isFence(lines[end]))
            ++end;
        if (end >= lines.size())
            continue;
        lines.remove(i + 2, end - (i + 2));
        lines.insert(i + 2, content);
        replaced = true;
    }
    if (replaced)
        m_text = lines.join(u'\n');
    return replaced;
}

}
