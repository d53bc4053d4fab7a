#include "tests/docs/PagePicture.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using vorlix::test::PagePicture;

QImage blankPage()
{
    QImage page(400, 300, QImage::Format_RGB32);
    page.fill(Qt::white);
    return page;
}

QImage pageWithLine(int y, QColor colour = Qt::black)
{
    QImage page = blankPage();
    QPainter painter(&page);
    painter.setPen(QPen(colour, 2));
    painter.drawLine(100, y, 300, y);
    return page;
}

TEST(PagePicture, InkBoundsFindTheDrawingAndIgnoreNearWhite)
{
    EXPECT_TRUE(PagePicture::inkBounds(blankPage()).isEmpty());
    QImage faint = blankPage();
    faint.setPixel(10, 10, qRgb(250, 250, 250));
    EXPECT_TRUE(PagePicture::inkBounds(faint).isEmpty());
    QImage dot = blankPage();
    dot.setPixel(37, 120, qRgb(255, 0, 0));
    EXPECT_EQ(PagePicture::inkBounds(dot), QRect(37, 120, 1, 1));
}

TEST(PagePicture, CropsAllPagesToTheirCommonInkWithAMargin)
{
    QImage first = pageWithLine(50);
    QImage second = pageWithLine(200);
    const PagePicture picture = PagePicture::fromPages({ first, second });
    const QRect ink = PagePicture::inkBounds(first).united(PagePicture::inkBounds(second));
    const int m = PagePicture::Margin;
    EXPECT_EQ(picture.crop(), ink.adjusted(-m, -m, m, m));
    EXPECT_EQ(picture.image().width(), 2 * picture.crop().width() + PagePicture::Gap);
    EXPECT_EQ(picture.image().height(), picture.crop().height());
    // The second page's line lands in the second cell at the same height as on its page.
    const int x = picture.crop().width() + PagePicture::Gap + 150 - picture.crop().x();
    EXPECT_EQ(qRed(picture.image().pixel(x, 200 - picture.crop().y())), 0);
}

TEST(PagePicture, CropStaysOnThePageAtItsEdges)
{
    QImage page = blankPage();
    page.setPixel(0, 0, qRgb(0, 0, 0));
    page.setPixel(399, 299, qRgb(0, 0, 0));
    EXPECT_EQ(PagePicture::fromPages({ page }).crop(), page.rect());
}

TEST(PagePicture, AMovedOrRecolouredLineIsADifferenceBeyondTolerance)
{
    const PagePicture original = PagePicture::fromPages({ pageWithLine(100) });
    EXPECT_EQ(original.differingPixels(original), 0);

    // The same line 3 pixels lower crops to a picture of the same pixels at another place.
    const PagePicture moved = PagePicture::fromPages({ pageWithLine(103) });
    EXPECT_EQ(moved.differingPixels(original), 0);
    EXPECT_NE(moved.crop(), original.crop());

    const PagePicture red = PagePicture::fromPages({ pageWithLine(100, Qt::red) });
    ASSERT_EQ(red.crop(), original.crop());
    EXPECT_GT(red.differingPixels(original), original.tolerance());

    const PagePicture twoPages = PagePicture::fromPages({ pageWithLine(100), pageWithLine(100) });
    EXPECT_EQ(twoPages.differingPixels(original), -1);
}

TEST(PagePicture, SavedPictureKeepsItsCropAndPixels)
{
    QImage page = pageWithLine(120, QColor(200, 40, 90));
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawEllipse(QPoint(200, 200), 40, 30);
    painter.end();
    const PagePicture picture = PagePicture::fromPages({ page });
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.png"));
    ASSERT_TRUE(picture.save(path));
    const PagePicture loaded = PagePicture::load(path);
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(loaded.crop(), picture.crop());
    EXPECT_LE(loaded.differingPixels(picture), 0);
    EXPECT_TRUE(PagePicture::load(dir.filePath(QStringLiteral("none.png"))).isNull());
}

}
