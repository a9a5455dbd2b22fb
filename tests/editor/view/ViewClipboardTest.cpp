// Copy and Paste through the system clipboard.
#include "ViewInput.h"

#include "framework/CommandIds.h"
#include "picture/ClipboardDib.h"
#include "picture/Dib.h"
#include "platform/Messages.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace lumacut {
namespace {

using namespace viewtest;

// ---- the clipboard ------------------------------------------------------------------------------------

class ViewClipboard : public ViewInput {
protected:
    void Command(int id) { ASSERT_TRUE(m_view->Commands().Execute(id)); }
    bool PasteEnabled()
    {
        CmdUI ui;
        ui.id = ID_EDIT_PASTE;
        m_view->Commands().Update(ui);
        return ui.enabled;
    }
    std::vector<std::uint8_t> OriginalBytes() const
    {
        const CMemBlock& block = m_doc.m_picOriginal.Block();
        return {block.Data(), block.Data() + block.Size()};
    }
};

TEST_F(ViewClipboard, CopyThenPasteMakesTheShownPictureTheOriginal)
{
    // A two-colour New Picture; the paste keeps its depth.
    m_prompt.outputChoices.assign(8, kOutputTwoColor);
    LoadPictures(test::Output::TwoColor);
    ShowNew();
    const std::vector<std::uint8_t> shown = NewPictureBytes();
    Command(ID_EDIT_COPY);
    // Beside our BMP, programs that take only PNG get the same picture.
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(offered && offered->hasFormat(QStringLiteral("image/bmp")));
    EXPECT_TRUE(offered->formats().contains(QStringLiteral("image/png")));
    const QImage png = QImage::fromData(offered->data(QStringLiteral("image/png")), "PNG");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32),
              QImage::fromData(offered->data(QStringLiteral("image/bmp")), "BMP").convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(PasteEnabled());
    m_prompt.messages.clear();
    Command(ID_EDIT_PASTE);

    EXPECT_TRUE(m_view->m_showOriginal);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_TRUE(m_doc.m_pictureReady);
    EXPECT_EQ(m_doc.m_picOriginal.BitCount(), 1);
    EXPECT_EQ(m_doc.m_picOriginal.Colors(), 2);
    const CMemBlock original = PackedDibOf(m_doc.m_picOriginal);
    EXPECT_EQ(std::vector<std::uint8_t>(original.Data(), original.Data() + original.Size()), shown);
    // The set-up ran as after an open: information, then "Choose Output".
    EXPECT_FALSE(m_prompt.messages.empty());

    // A two-colour Original cannot be tuned.
    m_prompt.messages.clear();
    Paint();
    QTest::mouseClick(Client(), Qt::LeftButton, {}, {5, 5});
    ASSERT_EQ(m_prompt.messages.size(), 1u);
    EXPECT_EQ(m_prompt.messages[0].text, msg::kOnlyTrueColorInput);
    EXPECT_TRUE(m_dialogs.filterColors.empty());
}

TEST_F(ViewClipboard, PasteTakesAPngPutOnTheClipboardByQt)
{
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(QColor(1, 2, 3));
    image.setPixelColor(6, 0, QColor(200, 100, 50));
    QGuiApplication::clipboard()->setImage(image);
    ASSERT_TRUE(PasteEnabled());
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(m_doc.m_picOriginal.Width(), 7);
    EXPECT_EQ(m_doc.m_picOriginal.Height(), 5);
    EXPECT_EQ(m_doc.m_picOriginal.BitCount(), 24);
    std::uint32_t color = 0;
    ASSERT_TRUE(m_doc.GetOriginalPixel(6, 4, color)); // top row, stored last
    EXPECT_EQ(color, MakeColor(200, 100, 50));
}

// BMP files of other depths, as another program's writer makes them.
struct DepthCase {
    std::string name;
    QImage::Format format;
};

void PrintTo(const DepthCase& c, std::ostream* os)
{
    *os << c.name;
}

class ViewPasteDepth : public ViewClipboard, public ::testing::WithParamInterface<DepthCase> {};

TEST_P(ViewPasteDepth, PastedBmpKeepsItsDepth)
{
    QImage image(9, 3, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixelColor(8, 0, Qt::black);
    QImage converted = image.convertToFormat(GetParam().format);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(converted.save(&buffer, "BMP"));
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/bmp"), bmp);
    QGuiApplication::clipboard()->setMimeData(data);

    const int bitCount = ReadLE16(reinterpret_cast<const std::uint8_t*>(bmp.constData()) + 14 + dib::kBitCount);
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(m_doc.m_picOriginal.BitCount(), bitCount);
    EXPECT_EQ(m_doc.m_picOriginal.Width(), 9);
    std::uint32_t color = 0;
    ASSERT_TRUE(m_doc.GetOriginalPixel(8, 2, color)); // top-right
    EXPECT_EQ(color, 0u);
    ASSERT_TRUE(m_doc.GetOriginalPixel(0, 2, color));
    EXPECT_EQ(color, 0xFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(Depths, ViewPasteDepth,
                         ::testing::Values(DepthCase{"Mono", QImage::Format_Mono},
                                           DepthCase{"Indexed", QImage::Format_Indexed8},
                                           DepthCase{"TrueColour", QImage::Format_RGB32}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ViewClipboard, PastedThirtyTwoBitPictureKeepsItsDepth)
{
    CPicture source = CPicture::FromDib(test::PlainBlock(5, 2, 32));
    ASSERT_TRUE(source.HasBlock());
    std::uint8_t* topRight = source.MutableRow(1) + 4 * 4; // blue, green, red, unused
    topRight[0] = 30;
    topRight[1] = 20;
    topRight[2] = 10;
    topRight[3] = 0xFF;
    const std::vector<std::uint8_t> bmp = BmpFileBytes(PackedDibOf(source));
    ASSERT_FALSE(bmp.empty());
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/bmp"),
                  QByteArray(reinterpret_cast<const char*>(bmp.data()), static_cast<qsizetype>(bmp.size())));
    QGuiApplication::clipboard()->setMimeData(data);

    Command(ID_EDIT_PASTE);
    EXPECT_EQ(m_doc.m_picOriginal.BitCount(), 32);
    EXPECT_EQ(m_doc.m_picOriginal.Colors(), 0);
    std::uint32_t color = 0;
    ASSERT_TRUE(m_doc.GetOriginalPixel(4, 1, color));
    EXPECT_EQ(color, MakeColor(10, 20, 30));
}

TEST_F(ViewClipboard, PasteIsDisabledWithoutAPicture)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("just words"));
    EXPECT_FALSE(PasteEnabled());
    const std::vector<std::uint8_t> before = OriginalBytes();
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(OriginalBytes(), before);
    EXPECT_FALSE(m_doc.IsModified());
}

TEST_F(ViewClipboard, PasteFollowsWhatTheClipboardHolds)
{
    QGuiApplication::clipboard()->setImage(TestImage());
    EXPECT_TRUE(PasteEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("words"));
    EXPECT_FALSE(PasteEnabled());
    Command(ID_EDIT_COPY);
    EXPECT_TRUE(PasteEnabled());
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(PasteEnabled());
}

TEST_F(ViewClipboard, DamagedDibsAreRefusedAndChangeNothing)
{
    // A valid 8-bit BMP file image to damage.
    const CPicture grey = test::MakePicture(test::Output::Grey, 6, 4);
    const std::vector<std::uint8_t> valid = BmpFileBytes(PackedDibOf(grey));

    std::vector<std::vector<std::uint8_t>> damaged;
    damaged.emplace_back(valid.begin(), valid.begin() + 14 + 30);  // header cut short
    damaged.emplace_back(valid.begin(), valid.end() - 5);          // rows cut short
    damaged.push_back(valid);
    WriteLE32(damaged.back().data() + 14 + dib::kHeight, 4000);    // height lies
    damaged.push_back(valid);
    WriteLE32(damaged.back().data() + 14 + dib::kClrUsed, 100000); // colour count lies
    damaged.push_back(valid);
    WriteLE32(damaged.back().data() + 14 + dib::kCompression, 1);  // run-length claimed

    const std::vector<std::uint8_t> before = OriginalBytes();
    const std::vector<std::uint8_t> newBefore = NewPictureBytes();
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        auto* data = new QMimeData;
        data->setData(QStringLiteral("image/bmp"),
                      QByteArray(reinterpret_cast<const char*>(damaged[i].data()),
                                 static_cast<qsizetype>(damaged[i].size())));
        QGuiApplication::clipboard()->setMimeData(data);
        m_prompt.messages.clear();
        Command(ID_EDIT_PASTE);
        ASSERT_EQ(m_prompt.messages.size(), 1u) << "case " << i;
        EXPECT_EQ(m_prompt.messages[0].text, msg::kPasteRefused) << "case " << i;
        EXPECT_EQ(OriginalBytes(), before) << "case " << i;
        EXPECT_EQ(NewPictureBytes(), newBefore) << "case " << i;
        EXPECT_FALSE(m_doc.IsModified()) << "case " << i;
        EXPECT_TRUE(m_doc.m_pictureReady) << "case " << i;
    }
}

TEST_F(ViewClipboard, PasteNamesTheDocumentAfterItsTitleUpToTheFirstPoint)
{
    m_doc.SetTitle("photo.old.bmp");
    QGuiApplication::clipboard()->setImage(TestImage());
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(m_doc.m_baseName, "photo");
    EXPECT_EQ(m_doc.GetTitle(), "photo.old.bmp");
}

} // namespace
} // namespace lumacut
