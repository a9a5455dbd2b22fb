// The clipboard's data: what Copy offers and what Paste takes from it.
#include "picture/CPicture.h"
#include "picture/ClipboardDib.h"
#include "picture/Dib.h"
#include "support/BlockPixels.h"
#include "support/PictureBuilder.h"
#include "view/ClipboardImage.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

namespace lumacut {
namespace {

QImage TestImage()
{
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixelColor(0, 0, QColor(255, 0, 0));  // top-left
    image.setPixelColor(4, 2, QColor(0, 0, 255));  // bottom-right
    return image;
}

TEST(ClipboardImage, PngFromAnotherProgramBecomesTrueColour)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(TestImage().save(&buffer, "PNG"));
    QMimeData data;
    data.setData(QStringLiteral("image/png"), png);
    ASSERT_TRUE(MimeHasPicture(&data));

    const PastedPicture pasted = PictureFromMimeData(&data);
    ASSERT_TRUE(pasted.offered);
    ASSERT_TRUE(pasted.dib) << pasted.why;
    EXPECT_EQ(ReadLE16(pasted.dib.Data() + dib::kBitCount), 24);
    EXPECT_EQ(ReadLE32s(pasted.dib.Data() + dib::kWidth), 5);
    EXPECT_EQ(ReadLE32s(pasted.dib.Data() + dib::kHeight), 3);
    EXPECT_EQ(test::BlockPixel(pasted.dib, 0, 0), 0xFF0000u); // the top row, stored last
    EXPECT_EQ(test::BlockPixel(pasted.dib, 4, 2), 0x0000FFu);
    EXPECT_EQ(test::BlockPixel(pasted.dib, 2, 1), 0x0A141Eu);
}

TEST(ClipboardImage, TextIsNoPicture)
{
    QMimeData data;
    data.setText(QStringLiteral("hello"));
    EXPECT_FALSE(MimeHasPicture(&data));
    EXPECT_FALSE(PictureFromMimeData(&data).offered);
    EXPECT_FALSE(MimeHasPicture(nullptr));
}

TEST(ClipboardImage, UndecodablePictureIsOfferedButRefused)
{
    QMimeData data;
    data.setData(QStringLiteral("image/png"), QByteArray("not a png"));
    const PastedPicture pasted = PictureFromMimeData(&data);
    EXPECT_TRUE(pasted.offered);
    EXPECT_FALSE(pasted.dib);
    EXPECT_FALSE(pasted.why.empty());
}

TEST(ClipboardImage, CopyOffersOurBmpAndAnImageOfTheSamePicture)
{
    CPicture picture = test::MakePicture(test::Output::Grey, 4, 2, [](int x, int y) {
        return x == 3 && y == 1 ? 200u : 0u; // top-right
    });

    std::unique_ptr<QMimeData> data(PictureMimeData(picture));
    ASSERT_TRUE(data);
    ASSERT_TRUE(data->hasFormat(QStringLiteral("image/bmp")));
    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(image.size(), QSize(4, 2));
    EXPECT_EQ(image.pixelColor(3, 0), QColor(200, 200, 200));
    EXPECT_EQ(image.pixelColor(0, 1), QColor(0, 0, 0));

    // image/bmp wins over the image and comes back in its own depth.
    const PastedPicture pasted = PictureFromMimeData(data.get());
    ASSERT_TRUE(pasted.dib) << pasted.why;
    EXPECT_EQ(ReadLE16(pasted.dib.Data() + dib::kBitCount), 8);
}

TEST(ClipboardImage, DamagedBmpIsRefusedEvenWithAnImageBeside)
{
    QMimeData data;
    data.setData(QStringLiteral("image/bmp"), QByteArray("BM\0\0\0\0\0\0\0\0\0\0\0\0\x28\0\0\0", 18));
    data.setImageData(TestImage());
    const PastedPicture pasted = PictureFromMimeData(&data);
    EXPECT_TRUE(pasted.offered);
    EXPECT_FALSE(pasted.dib);
    EXPECT_FALSE(pasted.why.empty());
}

TEST(ClipboardImage, PictureWithoutBlockOffersNothing)
{
    CPicture picture;
    EXPECT_EQ(PictureMimeData(picture), nullptr);
}

} // namespace
} // namespace lumacut
