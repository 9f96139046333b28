#include "rtf/RtfCodePage.h"

namespace {

// 0x80..0x9F of code page 1252; 0xA0..0xFF equal Latin-1. Holes map to the C1 controls, as Windows does.
constexpr char16_t kWesternC1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isMultiBytePage(int number)
{
    switch (number) {
    case 932: case 936: case 949: case 950: case 1361: case 65001:
        return true;
    default:
        return false;
    }
}

QByteArray converterName(int number)
{
    switch (number) {
    case 932: return "windows-31j";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1361: return "johab";
    case 65001: return "UTF-8";
    case 10000: return "macintosh";
    case 437: case 850: case 852: case 855: case 857: case 862: case 866:
        return "IBM" + QByteArray::number(number);
    default: return "windows-" + QByteArray::number(number);
    }
}

} // namespace

RtfCodePage::RtfCodePage(int number)
    : number_(number)
{
    for (int i = 0; i < 128; ++i)
        upper_[i] = i < 32 ? kWesternC1[i] : char16_t(0x80 + i);
    if (number == kWestern)
        return;

    QStringDecoder decoder(converterName(number).constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return; // no converter in this Qt build: read the text as 1252 rather than lose it
    if (isMultiBytePage(number)) {
        multiByte_ = true;
        decoder_.emplace(std::move(decoder));
        return;
    }
    for (int i = 0; i < 128; ++i) {
        const char byte = char(0x80 + i);
        const QString text = decoder.decode(QByteArrayView(&byte, 1));
        upper_[i] = text.size() == 1 ? text.at(0).unicode() : char16_t(0xFFFD);
    }
}

QString RtfCodePage::decode(QByteArrayView bytes)
{
    QString text = decoder_->decode(bytes);
    // A lead byte left without its trail must not glue onto the next run.
    decoder_->resetState();
    return text;
}

int RtfCodePage::forCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;     // ANSI
    case 2: return 1252;     // Symbol: the bytes address glyphs; keep them as 1252 characters
    case 77: return 10000;   // Mac Roman
    case 128: return 932;    // Shift-JIS
    case 129: return 949;    // Hangul
    case 130: return 1361;   // Johab
    case 134: return 936;    // GB2312
    case 136: return 950;    // Big5
    case 161: return 1253;   // Greek
    case 162: return 1254;   // Turkish
    case 163: return 1258;   // Vietnamese
    case 177: return 1255;   // Hebrew
    case 178: return 1256;   // Arabic
    case 186: return 1257;   // Baltic
    case 204: return 1251;   // Cyrillic
    case 222: return 874;    // Thai
    case 238: return 1250;   // Central European
    case 254: return 437;    // PC 437
    case 255: return 850;    // OEM
    default: return 0;
    }
}

unsigned char RtfCodePage::toWestern(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return static_cast<unsigned char>(ch);
    for (int i = 0; i < 32; ++i) {
        if (kWesternC1[i] == ch)
            return static_cast<unsigned char>(0x80 + i);
    }
    return 0;
}
