#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <array>
#include <optional>

// One Windows code page as RTF names it through \ansicpg, \cpg and \fcharset.
// Single-byte pages decode through a 128-entry table built once, because RTF
// text arrives byte by byte (\'hh); multi-byte pages keep a converter.
class RtfCodePage
{
public:
    static constexpr int kWestern = 1252;

    explicit RtfCodePage(int number);

    int number() const { return number_; }
    bool isMultiByte() const { return multiByte_; }

    // Single-byte pages only.
    char16_t decode(unsigned char byte) const
    {
        return byte < 0x80 ? char16_t(byte) : upper_[byte - 0x80];
    }
    // Multi-byte pages: a whole run of bytes, since lead and trail belong together.
    QString decode(QByteArrayView bytes);

    // The code page a \fcharset selects; 0 for DEFAULT_CHARSET and unknown sets,
    // which mean "the document's code page".
    static int forCharset(int charset);

    // The 1252 byte for ch, or 0 when 1252 has none. Fixed table, so writing
    // never depends on which converters the Qt build carries.
    static unsigned char toWestern(char16_t ch);

private:
    int number_;
    bool multiByte_ = false;
    std::array<char16_t, 128> upper_{};
    std::optional<QStringDecoder> decoder_;
};
