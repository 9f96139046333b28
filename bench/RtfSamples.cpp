#include "bench/RtfSamples.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

#include <array>

namespace {

constexpr auto kHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031"
    "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}"
    "{\\f2\\fmodern\\fcharset0 Courier New;}{\\f3\\fswiss\\fcharset238 Arial CE;}}\r\n"
    "{\\colortbl ;\\red255\\green255\\blue0;\\red255\\green255\\blue255;\\red0\\green176\\blue0;"
    "\\red192\\green0\\blue0;\\red0\\green255\\blue255;}\r\n"
    "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1";

// Words of a tournament announcement; the escapes are part of the words.
constexpr std::array<const char *, 24> kWords = {
    "Herren-Einzel", "Halbfinale", "M\\'fcller", "gegen", "Dvo\\u345?\\'e1k", "Platz",
    "Stra\\'dfe", "\\'c9lodie", "Gro\\'dfmann", "Eintritt", "\\u8364?", "Sieger", "Runde",
    "Damen-Doppel", "Fran\\'e7ois", "\\u321?ukasz", "Sch\\'f6nbrunn", "Finale", "Satz",
    "\\u352?koda", "Preisgeld", "Zuschauer", "J\\'f8rgen", "Spielbeginn"};

QByteArray paragraph(QRandomGenerator &random, int n)
{
    QByteArray p = "\\pard\\qc\\sb" + QByteArray::number(60 * (n % 3)) + "\\f"
        + QByteArray::number(n % 4) + "\\fs" + QByteArray::number(28 + 4 * (n % 6)) + "\\cf"
        + QByteArray::number(1 + n % 5) + ' ';
    const int words = 10 + int(random.bounded(12));
    for (int w = 0; w < words; ++w) {
        const char *word = kWords[random.bounded(int(kWords.size()))];
        // Some words stand out: one in five is bold, italic, underlined or starts a new colour.
        switch (random.bounded(20)) {
        case 0: p += "\\b "; p += word; p += "\\b0"; break;
        case 1: p += "\\i "; p += word; p += "\\i0"; break;
        case 2: p += "\\cf" + QByteArray::number(1 + random.bounded(5)) + ' '; p += word; break;
        case 3: p += "{\\ul "; p += word; p += '}'; break;
        default: p += word; break;
        }
        p += ' ';
    }
    p += QByteArray::number(n) + "\\par\r\n";
    return p;
}

QByteArray text(QByteArray rtf, qsizetype minimumBytes, int &n, QRandomGenerator &random)
{
    while (rtf.size() < minimumBytes)
        rtf += paragraph(random, n++);
    return rtf;
}

} // namespace

QByteArray titleRtf(qsizetype minimumBytes)
{
    QRandomGenerator random(7);
    int n = 0;
    return text(kHeader, minimumBytes - 1, n, random) + '}';
}

QByteArray titleRtfWithPicture(qsizetype minimumBytes, const QByteArray &png, QSize pixels)
{
    QRandomGenerator random(11);
    int n = 0;
    QByteArray rtf = text(kHeader, 2000, n, random);
    rtf += "\\pard\\qc{\\pict\\pngblip\\picw" + QByteArray::number(pixels.width()) + "\\pich"
        + QByteArray::number(pixels.height()) + "\\picwgoal" + QByteArray::number(pixels.width() * 15)
        + "\\pichgoal" + QByteArray::number(pixels.height() * 15) + "\r\n";
    // Word processors break the hex into lines of 128 digits.
    const QByteArray hex = png.toHex();
    rtf.reserve(minimumBytes + hex.size());
    for (qsizetype at = 0; at < hex.size(); at += 128)
        rtf += hex.mid(at, 128) + "\r\n";
    rtf += "}\\par\r\n";
    return text(rtf, minimumBytes - 1, n, random) + '}';
}

QByteArray noisyPng(QSize pixels)
{
    QImage image(pixels, QImage::Format_RGB32);
    QRandomGenerator random(3);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const quint32 noise = random.generate();
            line[x] = qRgb((x * 255 / image.width() + int(noise & 63)) & 255,
                           (y * 255 / image.height() + int((noise >> 8) & 63)) & 255,
                           (128 + int((noise >> 16) & 63)) & 255);
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return png;
}
