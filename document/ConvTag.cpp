#include "document/ConvTag.h"

#include "lang/TokenCutter.h"
#include "shell/GeneFile.h"

#include <optional>

namespace vorlix::document {

using lang::TokenCutter;
using lang::TokenType;

namespace {

    const QString kPlaceholder = QStringLiteral("/");

    // The whole table file as text (UTF-8 or CP932), or nothing when it cannot be opened.
    std::optional<QString> readTableFile(const QString& fileName)
    {
        shell::GeneFile file;
        if (!file.FileOpen(1, fileName))
            return std::nullopt;
        QString text = file.Read();
        file.FileClose();
        return text;
    }

}

ConvTag::ConvTag()
{
    reset();
}

void ConvTag::reset()
{
    m_pairs.assign(1, Pair { kPlaceholder, kPlaceholder });
    m_byLeft.clear();
    m_byRight.clear();
    m_count = 0;
    m_loaded = false;
    m_mode = Mode::None;
}

void ConvTag::Path(const QString& folder)
{
    reset();
    const QString fileName = folder + FileName;
    const std::optional<QString> text = readTableFile(fileName);
    if (!text) {
        shell::WriteLog(QStringLiteral("ConvTag/Path>ファイルオープンでエラー:") + fileName);
        return;
    }
    load(*text);
    m_loaded = true;
}

// Every line break ends a statement; a statement that begins with two words is a pair, and
// whatever follows them on the line is ignored.
void ConvTag::load(const QString& text)
{
    TokenCutter cutter;
    cutter.SetOpt1(false);
    cutter.TextEx(text);
    QString left;
    QString right;
    for (;;) {
        TokenType type = cutter.getToken(left);
        if (type == TokenType::TkEndOfText)
            return;
        if (type == TokenType::TkWord) {
            type = cutter.getToken(right);
            if (type == TokenType::TkWord)
                addPair(left, right);
        }
        QString rest;
        while (!endsStatement(type))
            type = cutter.getToken(rest);
        if (type == TokenType::TkEndOfText)
            return;
    }
}

void ConvTag::addPair(const QString& left, const QString& right)
{
    const std::int32_t index = m_count;
    if (index == 0)
        m_pairs[0] = Pair { left, right };
    else
        m_pairs.push_back(Pair { left, right });
    ++m_count;

    // A word equal to the header pair's is left out silently; other repeats are logged.
    if (const auto found = m_byLeft.constFind(left); found != m_byLeft.cend()) {
        if (*found != 0)
            shell::WriteLog(QStringLiteral("ConvTag/Add>LabeL重複:") + left);
    } else {
        m_byLeft.insert(left, index);
    }
    if (const auto found = m_byRight.constFind(right); found != m_byRight.cend()) {
        if (*found != 0)
            shell::WriteLog(QStringLiteral("ConvTag/Add>Value重複:") + right);
    } else {
        m_byRight.insert(right, index);
    }
}

bool ConvTag::TagSet(const QString& faceSet, const QString& dataSet)
{
    const Pair& header = m_pairs[0];
    if (m_loaded && header.left == faceSet && header.right == dataSet)
        m_mode = Mode::LeftToRight;
    else if (m_loaded && header.right == faceSet && header.left == dataSet)
        m_mode = Mode::RightToLeft;
    else
        m_mode = Mode::None;
    return m_mode != Mode::None;
}

QString ConvTag::Convert(const QString& name) const
{
    if (m_mode == Mode::LeftToRight) {
        if (const auto found = m_byLeft.constFind(name); found != m_byLeft.cend())
            return m_pairs[static_cast<size_t>(*found)].right;
    } else if (m_mode == Mode::RightToLeft) {
        if (const auto found = m_byRight.constFind(name); found != m_byRight.cend())
            return m_pairs[static_cast<size_t>(*found)].left;
    }
    return name;
}

void ConvTag::List() const
{
    for (const Pair& pair : m_pairs)
        shell::WriteLog(
            QStringLiteral("ConvTag/List>") + pair.left + QLatin1Char(',') + pair.right);
}

void ConvTag::Vist() const
{
    for (const Pair& pair : m_pairs)
        shell::WriteLog(
            QStringLiteral("ConvTag/Vist>") + pair.right + QLatin1Char(',') + pair.left);
}

}
