#include "lang/DControl.h"

#include "render/EMF.h"
#include "shell/RunError.h"

#include <algorithm>

// Text aligned on a point: plain text ending at it ("sr") or centred on it ("sc"), and values
// written in a spreadsheet format from, centred on or ending at it ("sf").
namespace vorlix::lang {

using render::TextAlign;
using shell::RunError;

namespace {

    // Formats a page keeps read; a face uses a handful.
    constexpr std::size_t KeptFormats = 32;

}

DControl::ExecResult DControl::cmdSr()
{
    printAligned(QStringLiteral("sr"), TextAlign::End);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdSc()
{
    printAligned(QStringLiteral("sc"), TextAlign::Centre);
    return ExecResult::Done;
}

// The same pieces as "s", in one line: a number after the text would be a width, which a text
// that ends or centres on its point cannot have.
void DControl::printAligned(const QString& word, TextAlign align)
{
    moveToPosition();
    const auto pieces = readTextPieces();
    if (!pieces)
        return;
    if (!pieces->number.isEmpty())
        throw RunError(RunError::InvalidArgument,
            QStringLiteral("%1 に幅はありません: %2").arg(word, pieces->number));
    m_surface->AlignedText(pieces->text, align);
}

// sf,x,y,align,"format",value; the value is one item (a quoted reference of the merge), or none:
// an empty or missing value draws nothing.
DControl::ExecResult DControl::cmdSf()
{
    const auto t = readTokens<3>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const auto align = toI(t[2]);
    m_surface->XY(x, y);
    if (align < 0 || align > 2)
        throw RunError(RunError::InvalidArgument,
            QStringLiteral("sf の揃えは 0（左）、1（中央）、2（右）のどれかです: %1").arg(align));
    BorrowedToken buffer(m_tokenPool);
    QString& token = buffer.get();
    if (endsStatement(nextToken(token)))
        throw RunError(RunError::InvalidArgument, QStringLiteral("sf に書式がありません"));
    const QString code = token;
    QString value;
    if (!endsStatement(nextToken(token))) {
        value = token;
        if (!endsStatement(nextToken(token)))
            throw RunError(RunError::InvalidArgument,
                QStringLiteral("sf の値は 1 項目です（$\"名前\" で書きます）: %1 %2")
                    .arg(value, token));
    }
    const ValueFormat::Written written = formatOf(code, value).write(value);
    if (!written.ok())
        throw RunError(RunError::TypeMismatch, written.error);
    if (!written.text.isEmpty())
        m_surface->AlignedText(written.text, static_cast<TextAlign>(align));
    return ExecResult::Done;
}

const ValueFormat& DControl::formatOf(const QString& code, const QString& value)
{
    auto known = std::find_if(m_formats.begin(), m_formats.end(),
        [&code](const auto& format) { return format.first == code; });
    if (known == m_formats.end()) {
        if (m_formats.size() == KeptFormats)
            m_formats.erase(m_formats.begin());
        m_formats.emplace_back(code, ValueFormat::parse(code));
        known = m_formats.end() - 1;
    }
    const ValueFormat::Parsed& parsed = known->second;
    if (!parsed.format)
        throw RunError(
            RunError::InvalidArgument, QStringLiteral("%1（値 \"%2\"）").arg(parsed.error, value));
    return *parsed.format;
}

}
