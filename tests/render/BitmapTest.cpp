#include "RenderTestSupport.h"

#include "render/Bitmap.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace vorlix;
using namespace vorlix::render;
using vorlix::test::errorNumberOf;

namespace {

class BitmapTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            ADD_FAILURE() << "cannot write " << name.toStdString();
        return path(name);
    }
};

TEST_F(BitmapTest, ReadsPicturesWithTheirOwnResolution)
{
    for (const char* format : { "PNG", "BMP", "JPG" }) {
        SCOPED_TRACE(format);
        QImage image(6, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.setDotsPerMeterX(11811);
        image.setDotsPerMeterY(11811);
        const QString name = path(QStringLiteral("picture.") + QString::fromLatin1(format));
        ASSERT_TRUE(image.save(name, format));
        const Bitmap bitmap = Bitmap::load(name);
        ASSERT_FALSE(bitmap.isNull());
        EXPECT_EQ(bitmap.image().size(), QSize(6, 4));
        EXPECT_NEAR(bitmap.image().dotsPerMeterX(), 11811, 40);
    }
}

TEST_F(BitmapTest, MissingFilesAndNonPicturesFailWithTheLoadersErrors)
{
    struct Case {
        const char* name;
        QString file;
        int error;
    };
    const Case cases[] = {
        { "missing", path("missing.png"), 53 },
        { "empty name", QString(), 53 },
        { "a folder", dir.path(), 53 },
        { "text", write("notes.png", "not a picture at all"), 481 },
        { "cut short", write("short.png", QByteArray("\x89PNG\r\n\x1a\n", 8)), 481 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorNumberOf([&] { (void)Bitmap::load(c.file); }), c.error) << c.name;
    try {
        (void)Bitmap::load(path("notes.png"));
        ADD_FAILURE() << "a text file read as a picture";
    } catch (const shell::RunError& error) {
        EXPECT_EQ(
            error.description(), QStringLiteral("ピクチャが不正です。: ") + path("notes.png"));
    }
}

TEST(Bitmap, CopiesShareOnePicture)
{
    const Bitmap none;
    EXPECT_TRUE(none.isNull());
    QImage image(2, 2, QImage::Format_RGB32);
    const Bitmap bitmap(image);
    const Bitmap copy = bitmap;
    EXPECT_FALSE(copy.isNull());
    EXPECT_EQ(&copy.image(), &bitmap.image());
}

}
