#include "lang/DControl.h"

#include "render/Bitmap.h"
#include "render/EMF.h"
#include "shell/Common.h"
#include "shell/RunError.h"

#include <QFileInfo>

// "img": a bitmap picture (BMP, PNG, JPEG) stretched into a box at a page point.
namespace vorlix::lang {

namespace {

    // The application error base: the number the GIF refusal carries.
    constexpr std::int32_t GifRefusalNumber = -2147221504;

    // Each \n is a backslash followed by n, not a line break.
    const QString GifRefusal = QStringLiteral(
        "\\n本プログラムはUnisys社のGIF-LZW圧縮に関する\\n特許のライセンスを取得していません。"
        "\\nもし、GIFイメージの表示に関して独自にライセ\\nンスを有してる奇特な方でしたら、GIF表示可"
        "能"
        "\\nなプログラムを引渡す事が可能です。");

    // The text after the last "."; empty for names shorter than three characters or without one.
    QString fileExtension(const QString& name)
    {
        if (name.size() < 3)
            return {};
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        return dot < 0 ? QString() : name.mid(dot + 1);
    }

    // Faces made on Windows write folders with backslashes; they are read as "/" when the name
    // as written does not exist.
    QString localName(const QString& fileName)
    {
        if (!fileName.contains(QLatin1Char('\\')) || QFileInfo::exists(fileName))
            return fileName;
        return shell::localPath(fileName);
    }

}

DControl::ExecResult DControl::cmdImg()
{
    const auto t = readTokens<3>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    DrawImage(x, y, t[2]);
    return ExecResult::Done;
}

// Width and height are optional numbers after the name; a given width with no height keeps the
// picture's proportions, neither keeps its natural size.
void DControl::DrawImage(std::int32_t x, std::int32_t y, const QString& fileName)
{
    if (fileExtension(fileName).toLower() == QLatin1String("gif"))
        throw shell::RunError(GifRefusalNumber, GifRefusal);
    const render::Bitmap picture = render::Bitmap::load(localName(fileName));
    std::int32_t width = 0;
    std::int32_t height = 0;
    QString token;
    if (nextToken(token) == TokenType::TkNumber) {
        width = toI(token);
        if (nextToken(token) == TokenType::TkNumber) {
            height = toI(token);
            skipToken();
        }
    }
    m_surface->XY(x, y);
    m_surface->LoadImage(picture, width, height);
    if (!picture.damage().isEmpty())
        reportDamagedPicture(fileName, picture.damage());
}

}
