#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vorlix::test {

// A page of the manual as the tests see it. An example is quoted by a marker line
// "<!-- example: NAME -->" directly followed by a fenced block that holds the file's text; a
// generated part lies between "<!-- NAME:begin -->" and "<!-- NAME:end -->".
class MarkdownPage {
public:
    struct Quote {
        QString example;
        QString block;
        int line = 0;
        bool hasBlock = false;
    };

    explicit MarkdownPage(QString text);
    // Reads a page; an unreadable page is empty.
    static MarkdownPage load(const QString& path);

    [[nodiscard]] const QString& text() const { return m_text; }
    [[nodiscard]] QList<Quote> quotes() const;
    // Targets of Markdown links and images, "](target)", outside fenced blocks.
    [[nodiscard]] QStringList links() const;
    // The ids of "<a id=...>" anchors and the texts of headings, outside fenced blocks.
    [[nodiscard]] QStringList anchors() const;
    [[nodiscard]] QStringList headings() const;
    // The text of the section that starts at the anchor, up to the next anchor of the same
    // prefix or the end; empty when the anchor is missing.
    [[nodiscard]] QString section(const QString& anchor) const;

    // The text between the markers of a generated part; a null string when they are missing.
    [[nodiscard]] QString generated(const QString& name) const;
    // Replaces a generated part; false when its markers are missing.
    bool setGenerated(const QString& name, const QString& content);
    // Replaces the block that quotes an example with the given text; false when not quoted.
    bool setQuote(const QString& example, const QString& content);

private:
    // The page's lines with a flag for each: inside a fenced block or a fence line itself.
    [[nodiscard]] QList<bool> fencedLines(const QStringList& lines) const;

    QString m_text;
};

}
