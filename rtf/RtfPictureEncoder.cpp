#include "rtf/RtfPictureEncoder.h"

#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextDocument>
#include <QTextFormat>
#include <QUrl>

#include <cmath>

namespace {

constexpr int kHexPerLine = 128;
constexpr char kHexDigits[] = "0123456789abcdef";

struct EncodedPicture
{
    QByteArray bytes;
    const char *blip = "\\pngblip";
    QSize pixels;
};

bool isPng(const QByteArray &bytes) { return bytes.startsWith("\x89PNG\r\n\x1a\n"); }
bool isJpeg(const QByteArray &bytes) { return bytes.startsWith("\xff\xd8\xff"); }

QByteArray encodePng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

int twips(double pixels) { return int(std::lround(pixels * kTwipsPerPixel)); }

EncodedPicture encodedPicture(const QTextDocument &doc, const QString &name)
{
    EncodedPicture picture;
    const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(name));
    QImage image;
    switch (resource.typeId()) {
    case QMetaType::QByteArray:
        picture.bytes = resource.toByteArray();
        if (isJpeg(picture.bytes)) {
            picture.blip = "\\jpegblip";
        } else if (!isPng(picture.bytes)) {
            image.loadFromData(picture.bytes); // another format: RTF readers expect PNG or JPEG
            picture.bytes.clear();
        }
        break;
    case QMetaType::QImage: image = resource.value<QImage>(); break;
    case QMetaType::QPixmap: image = resource.value<QPixmap>().toImage(); break;
    default: break;
    }
    if (!image.isNull()) {
        picture.bytes = encodePng(image);
        picture.pixels = image.size();
        return picture;
    }
    if (picture.bytes.isEmpty())
        return picture;
    QBuffer buffer(&picture.bytes);
    buffer.open(QIODevice::ReadOnly);
    picture.pixels = QImageReader(&buffer).size();
    return picture;
}

} // namespace

void RtfPictureEncoder::append(QByteArray &out, const QTextDocument &doc, const QTextImageFormat &format)
{
    const EncodedPicture picture = encodedPicture(doc, format.name());
    if (picture.bytes.isEmpty() || picture.pixels.isEmpty())
        return; // nothing a reader could show
    double width = format.width();
    double height = format.height();
    const double aspect = double(picture.pixels.height()) / picture.pixels.width();
    if (width <= 0 && height <= 0) {
        width = picture.pixels.width();
        height = picture.pixels.height();
    } else if (width <= 0) {
        width = height / aspect;
    } else if (height <= 0) {
        height = width * aspect;
    }
    out += "{\\pict";
    out += picture.blip;
    out += "\\picw" + QByteArray::number(picture.pixels.width()) + "\\pich"
           + QByteArray::number(picture.pixels.height()) + "\\picwgoal" + QByteArray::number(twips(width))
           + "\\pichgoal" + QByteArray::number(twips(height)) + '\n';
    const QByteArray &bytes = picture.bytes;
    const qsizetype start = out.size();
    out.resize(start + bytes.size() * 2 + bytes.size() * 2 / kHexPerLine + 1);
    char *hex = out.data() + start;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        *hex++ = kHexDigits[byte >> 4];
        *hex++ = kHexDigits[byte & 0xF];
        if ((i + 1) % (kHexPerLine / 2) == 0)
            *hex++ = '\n';
    }
    out.resize(hex - out.constData());
    out += "}";
}
