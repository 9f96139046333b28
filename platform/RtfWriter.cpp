#include "platform/RtfWriter.h"

#include "platform/RtfCodePage.h"
#include "platform/RtfLimits.h"
#include "platform/RtfReader.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>

#include <algorithm>
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

class RtfWriter
{
public:
    explicit RtfWriter(const QTextDocument &doc)
        : doc_(doc)
    {
        fontIndex(doc.defaultFont().family()); // \deff0
    }

    QByteArray write()
    {
        body_.reserve(doc_.characterCount() + doc_.characterCount() / 4 + 256);
        for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next())
            writeBlock(block);

        QByteArray out;
        out.reserve(body_.size() + 1024);
        out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
        for (qsizetype i = 0; i < fonts_.size(); ++i) {
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
            appendText(out, fonts_[i], true);
            out += ";}";
        }
        out += "}\n{\\colortbl;";
        for (const QRgb rgb : colors_) {
            out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb))
                   + "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
        }
        out += "}\n";
        out += body_;
        out += "}\n";
        return out;
    }

private:
    void writeBlock(const QTextBlock &block)
    {
        writeParagraphFormat(block.blockFormat());
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            empty = false;
            if (const auto known = controls_.constFind(fragment.charFormatIndex()); known != controls_.cend()) {
                body_ += *known;
                appendText(body_, fragment.text(), false);
                continue;
            }
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                // Adjacent equal pictures share one fragment, one replacement character each.
                for (qsizetype i = 0; i < fragment.length(); ++i)
                    writePicture(format.toImageFormat());
                continue;
            }
            const qsizetype start = body_.size();
            writeCharFormat(format);
            controls_.insert(fragment.charFormatIndex(), body_.sliced(start)); // formats repeat; write each once
            appendText(body_, fragment.text(), false);
        }
        if (empty)
            writeCharFormat(block.charFormat()); // an empty line keeps its height
        body_ += "\\par\n";
    }

    void writeParagraphFormat(const QTextBlockFormat &format)
    {
        body_ += "\\pard";
        const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
        if (alignment & Qt::AlignJustify)
            body_ += "\\qj";
        else if (alignment & Qt::AlignHCenter)
            body_ += "\\qc";
        else if (alignment & Qt::AlignRight)
            body_ += "\\qr";
        else
            body_ += "\\ql";
        const double left = format.leftMargin() + format.indent() * doc_.indentWidth();
        appendNonZero("\\li", twips(left));
        appendNonZero("\\ri", twips(format.rightMargin()));
        appendNonZero("\\fi", twips(format.textIndent()));
        appendNonZero("\\sb", twips(format.topMargin()));
        appendNonZero("\\sa", twips(format.bottomMargin()));
    }

    void appendNonZero(const char *word, int value)
    {
        if (value != 0)
            body_ += word + QByteArray::number(value);
    }

    void writeCharFormat(const QTextCharFormat &format)
    {
        const QFont base = doc_.defaultFont();
        const QStringList families = format.fontFamilies().toStringList();
        const QString family = !families.isEmpty() && !families.first().isEmpty() ? families.first() : base.family();

        body_ += "\\plain\\f" + QByteArray::number(fontIndex(family));
        const int halfPoints = std::clamp(int(std::lround(pointSize(format, base) * 2)), 1, kMaxFontSize);
        body_ += "\\fs" + QByteArray::number(halfPoints);

        const bool bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                                        : base.bold();
        const bool italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : base.italic();
        const bool underline = format.hasProperty(QTextFormat::TextUnderlineStyle)
                                       || format.hasProperty(QTextFormat::FontUnderline)
                                   ? format.fontUnderline()
                                   : base.underline();
        const bool strike = format.hasProperty(QTextFormat::FontStrikeOut) ? format.fontStrikeOut() : base.strikeOut();
        if (bold)
            body_ += "\\b";
        if (italic)
            body_ += "\\i";
        if (underline)
            body_ += "\\ul";
        if (strike)
            body_ += "\\strike";

        const QBrush foreground = format.foreground();
        if (foreground.style() != Qt::NoBrush)
            body_ += "\\cf" + QByteArray::number(colorIndex(foreground.color()));
        const QBrush background = format.background();
        if (background.style() != Qt::NoBrush) {
            // \highlight for Word and LibreOffice, \cb for readers that only know that one
            const QByteArray index = QByteArray::number(colorIndex(background.color()));
            body_ += "\\cb" + index + "\\highlight" + index;
        }
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            body_ += "\\super";
        else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            body_ += "\\sub";
        body_ += ' ';
    }

    static double pointSize(const QTextCharFormat &format, const QFont &base)
    {
        if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
            return format.fontPointSize();
        if (format.hasProperty(QTextFormat::FontPixelSize) && format.intProperty(QTextFormat::FontPixelSize) > 0)
            return format.intProperty(QTextFormat::FontPixelSize) * 72.0 / 96.0;
        if (base.pointSizeF() > 0)
            return base.pointSizeF();
        if (base.pixelSize() > 0)
            return base.pixelSize() * 72.0 / 96.0;
        return 12.0;
    }

    int fontIndex(const QString &family)
    {
        const auto found = fontIndexes_.constFind(family);
        if (found != fontIndexes_.cend())
            return *found;
        const int index = int(fonts_.size());
        fonts_.append(family);
        fontIndexes_.insert(family, index);
        return index;
    }

    int colorIndex(const QColor &color)
    {
        const QRgb rgb = color.rgb() | 0xFF000000u;
        const auto found = colorIndexes_.constFind(rgb);
        if (found != colorIndexes_.cend())
            return *found;
        colors_.append(rgb);
        const int index = int(colors_.size()); // entry 0 is the automatic colour
        colorIndexes_.insert(rgb, index);
        return index;
    }

    // Text in code page 1252, everything else as a UTF-16 unit in \uN with '?' for readers without Unicode.
    static void appendText(QByteArray &out, const QString &text, bool inTable)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            char16_t ch = text.at(i).unicode();
            if (ch >= 0x20 && ch < 0x80) {
                if (ch == '\\' || ch == '{' || ch == '}')
                    out += '\\';
                if (inTable && ch == ';') {
                    out += "\\'3b";
                    continue;
                }
                out += char(ch);
                continue;
            }
            switch (ch) {
            case u'\t': out += "\\tab "; continue;
            case QChar::LineSeparator: out += "\\line "; continue;
            case 0x00A0: out += "\\~"; continue;
            case 0x00AD: out += "\\-"; continue;
            case 0x2011: out += "\\_"; continue;
            default: break;
            }
            if (ch < 0x20 || ch == QChar::ParagraphSeparator || ch == QChar::ObjectReplacementCharacter
                || ch == 0xFDD0 || ch == 0xFDD1)
                continue; // structure, not text
            if (const unsigned char byte = RtfCodePage::toWestern(ch); byte >= 0x80) {
                const char escaped[] = {'\\', '\'', kHexDigits[byte >> 4], kHexDigits[byte & 0xF]};
                out.append(escaped, sizeof escaped);
                continue;
            }
            // A surrogate without its other half is no character; readers would drop or mangle it.
            if (QChar::isHighSurrogate(ch) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                appendUnicode(out, ch);
                ch = text.at(++i).unicode();
            } else if (QChar::isSurrogate(ch)) {
                ch = QChar::ReplacementCharacter;
            }
            appendUnicode(out, ch);
        }
    }

    // \uN takes a signed 16-bit number. The fallback is \'3f, not a bare '?': unrtf drops the character after a bare one.
    static void appendUnicode(QByteArray &out, char16_t ch)
    {
        char buffer[16] = {'\\', 'u'};
        char *end = buffer + 2;
        int value = qint16(ch);
        if (value < 0) {
            *end++ = '-';
            value = -value;
        }
        char digits[6];
        int count = 0;
        do {
            digits[count++] = char('0' + value % 10);
            value /= 10;
        } while (value > 0);
        while (count > 0)
            *end++ = digits[--count];
        for (const char c : {'\\', '\'', '3', 'f'})
            *end++ = c;
        out.append(buffer, end - buffer);
    }

    void writePicture(const QTextImageFormat &format)
    {
        const EncodedPicture picture = encodedPicture(format.name());
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
        body_ += "{\\pict";
        body_ += picture.blip;
        body_ += "\\picw" + QByteArray::number(picture.pixels.width()) + "\\pich"
                 + QByteArray::number(picture.pixels.height()) + "\\picwgoal" + QByteArray::number(twips(width))
                 + "\\pichgoal" + QByteArray::number(twips(height)) + '\n';
        const QByteArray &bytes = picture.bytes;
        const qsizetype start = body_.size();
        body_.resize(start + bytes.size() * 2 + bytes.size() * 2 / kHexPerLine + 1);
        char *out = body_.data() + start;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            *out++ = kHexDigits[byte >> 4];
            *out++ = kHexDigits[byte & 0xF];
            if ((i + 1) % (kHexPerLine / 2) == 0)
                *out++ = '\n';
        }
        body_.resize(out - body_.constData());
        body_ += "}";
    }

    EncodedPicture encodedPicture(const QString &name) const
    {
        EncodedPicture picture;
        const QVariant resource = doc_.resource(QTextDocument::ImageResource, QUrl(name));
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

    const QTextDocument &doc_;
    QByteArray body_;
    QStringList fonts_;
    QHash<QString, int> fontIndexes_;
    QList<QRgb> colors_;
    QHash<QRgb, int> colorIndexes_;
    QHash<int, QByteArray> controls_; // by the document's format index
};

} // namespace

QByteArray writeRtf(const QTextDocument &doc)
{
    return RtfWriter(doc).write();
}
