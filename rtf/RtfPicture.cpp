#include "rtf/RtfPicture.h"

#include "rtf/RtfLimits.h"
#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QImageReader>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

bool RtfPicture::controlWord(RtfWord word, int param)
{
    switch (word) {
    case RtfWord::PngBlip: kind_ = Kind::Png; return true;
    case RtfWord::JpegBlip: kind_ = Kind::Jpeg; return true;
    case RtfWord::OtherBlip: kind_ = Kind::Unsupported; return true;
    case RtfWord::PicWidth: width_ = param; return true;
    case RtfWord::PicHeight: height_ = param; return true;
    case RtfWord::PicGoalWidth: goalWidth_ = param; return true;
    case RtfWord::PicGoalHeight: goalHeight_ = param; return true;
    case RtfWord::PicScaleX: setScaleX(param); return true;
    case RtfWord::PicScaleY: setScaleY(param); return true;
    default: return false;
    }
}

void RtfPicture::setScaleX(int percent) { scaleX_ = std::clamp(percent, 1, kMaxPictureScale); }
void RtfPicture::setScaleY(int percent) { scaleY_ = std::clamp(percent, 1, kMaxPictureScale); }

void RtfPicture::appendHex(std::string_view text)
{
    if (!wanted())
        return;
    for (const char c : text) {
        const int value = hexValue(c);
        if (value < 0)
            continue;
        if (nibble_ < 0) {
            nibble_ = value;
            continue;
        }
        const char byte = char((nibble_ << 4) | value);
        nibble_ = -1;
        appendBytes(std::string_view(&byte, 1));
        if (!wanted())
            return;
    }
}

void RtfPicture::appendBytes(std::string_view bytes)
{
    if (!wanted())
        return;
    if (data_.size() + qsizetype(bytes.size()) > kMaxPictureBytes) {
        overflow_ = true;
        data_ = QByteArray();
        return;
    }
    data_.append(bytes.data(), qsizetype(bytes.size()));
}

std::optional<QTextImageFormat> RtfPicture::addTo(QTextDocument &doc, int &count) const
{
    if (!wanted() || data_.isEmpty())
        return std::nullopt;
    QByteArray data = data_;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, kind_ == Kind::Png ? "png" : "jpeg");
    const QSize pixels = reader.size();
    buffer.close();
    if (pixels.isEmpty())
        return std::nullopt; // not a picture after all

    double width = goalWidth_ > 0 ? goalWidth_ / kTwipsPerPixel : pixels.width();
    double height = goalHeight_ > 0 ? goalHeight_ / kTwipsPerPixel : pixels.height();
    width = std::clamp(width * scaleX_ / 100.0, 1.0, kMaxPictureExtent);
    height = std::clamp(height * scaleY_ / 100.0, 1.0, kMaxPictureExtent);

    // The encoded bytes stay the resource: Qt decodes them when the picture is drawn.
    const QString name = QStringLiteral("rtf-picture:%1").arg(++count);
    doc.addResource(QTextDocument::ImageResource, QUrl(name), data_);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(width);
    format.setHeight(height);
    return format;
}
