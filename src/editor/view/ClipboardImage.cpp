#include "view/ClipboardImage.h"

#include "picture/CPicture.h"
#include "picture/ClipboardDib.h"
#include "picture/Dib.h"
#include "picture/Limits.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QStringList>

#include <cstring>

namespace lumacut {

namespace {

// The names under which programs offer BMP files.
const QStringList& BmpMimeTypes()
{
    static const QStringList types{QStringLiteral("image/bmp"), QStringLiteral("image/x-bmp"),
                                   QStringLiteral("image/x-MS-bmp")};
    return types;
}

const QString kPngType = QStringLiteral("image/png");
const QString kImageType = QStringLiteral("application/x-qt-image");

// Our picture with image/png listed beside the BMP: programs that take only
// PNG find it on every platform, and it is encoded only when one asks, so
// Copy of a large picture stays quick.
class PictureMime : public QMimeData {
public:
    QStringList formats() const override
    {
        QStringList types = QMimeData::formats();
        if (types.contains(kImageType) && !types.contains(kPngType))
            types.insert(1, kPngType);
        return types;
    }

protected:
    QVariant retrieveData(const QString& type, QMetaType wanted) const override
    {
        if (type != kPngType || !QMimeData::formats().contains(kImageType))
            return QMimeData::retrieveData(type, wanted);
        const QImage image = qvariant_cast<QImage>(QMimeData::retrieveData(kImageType, QMetaType::fromType<QImage>()));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
            return QVariant();
        return bytes;
    }
};

} // namespace

QMimeData* PictureMimeData(const CPicture& picture)
{
    const CMemBlock packed = PackedDibOf(picture);
    const std::vector<std::uint8_t> file = BmpFileBytes(packed);
    if (file.empty())
        return nullptr;
    const QByteArray bytes(reinterpret_cast<const char*>(file.data()), static_cast<qsizetype>(file.size()));
    auto* data = new PictureMime;
    data->setData(QStringLiteral("image/bmp"), bytes);
    // Other programs ask for PNG and the like; they are made from the image.
    const QImage image = QImage::fromData(bytes, "BMP");
    if (!image.isNull())
        data->setImageData(image);
    return data;
}

bool MimeHasPicture(const QMimeData* data)
{
    if (!data)
        return false;
    for (const QString& type : BmpMimeTypes())
        if (data->hasFormat(type))
            return true;
    if (data->hasImage())
        return true;
    for (const QString& type : data->formats())
        if (type.startsWith(QLatin1String("image/")))
            return true;
    return false;
}

PastedPicture PictureFromMimeData(const QMimeData* data)
{
    PastedPicture pasted;
    if (!data)
        return pasted;
    for (const QString& type : BmpMimeTypes()) {
        if (!data->hasFormat(type))
            continue;
        pasted.offered = true;
        const QByteArray bytes = data->data(type);
        pasted.dib = DibFromBmpFileBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                         static_cast<std::size_t>(bytes.size()), pasted.why);
        return pasted;
    }
    QImage image;
    if (data->hasImage()) {
        pasted.offered = true;
        image = qvariant_cast<QImage>(data->imageData());
    }
    // Encoded pictures (image/png from a browser) that no one decoded for us.
    for (const QString& type : data->formats()) {
        if (!image.isNull())
            break;
        if (!type.startsWith(QLatin1String("image/")))
            continue;
        pasted.offered = true;
        image = QImage::fromData(data->data(type));
    }
    if (!pasted.offered)
        return pasted;
    pasted.dib = TrueColorDibFromImage(image);
    if (!pasted.dib)
        pasted.why = image.isNull() ? "the picture cannot be decoded" : "the picture is too large";
    return pasted;
}

CMemBlock TrueColorDibFromImage(const QImage& image)
{
    if (image.isNull() || !SizeWithinLimits(image.width(), image.height()))
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    CMemBlock dib = AllocTrueColorDib(width, height);
    if (!dib)
        return dib;
    const std::size_t stride = static_cast<std::size_t>(RowStride(width, 24));
    std::uint8_t* rows = dib.Data() + kInfoHeaderSize;
    for (int y = 0; y < height; ++y) {
        // Stored rows run bottom-up, pixels blue, green, red.
        const uchar* src = rgb.constScanLine(height - 1 - y);
        std::uint8_t* dst = rows + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            dst[3 * x + 0] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x + 0];
        }
    }
    return dib;
}

} // namespace lumacut
