#pragma once

#include "rtf/RtfControlWordTable.h"

#include <QByteArray>
#include <QTextImageFormat>

#include <optional>
#include <string_view>

class QTextDocument;

// A \pict group being read: its kind, its size words and its data, hex or \bin.
// Only PNG and JPEG are kept; Qt draws them and they are written back unchanged.
class RtfPicture
{
public:
    enum class Kind : quint8 { None, Png, Jpeg, Unsupported };

    // Takes the blip and size words; false for any other word.
    bool controlWord(RtfWord word, int param);


    // Hex digits; line breaks and stray characters between them are skipped.
    void appendHex(std::string_view text);
    void appendBytes(std::string_view bytes);

    // Adds the picture's bytes to doc as the next numbered resource (counting in count)
    // and returns the format that shows it, or nothing when the data is no picture Qt can show.
    std::optional<QTextImageFormat> addTo(QTextDocument &doc, int &count) const;

private:
    void setScaleX(int percent);
    void setScaleY(int percent);
    bool wanted() const { return (kind_ == Kind::Png || kind_ == Kind::Jpeg) && !overflow_; }

    Kind kind_ = Kind::None;
    QByteArray data_;
    int nibble_ = -1;      // high half of a hex byte still waiting for its low half
    bool overflow_ = false;
    int width_ = 0;        // pixels
    int height_ = 0;
    int goalWidth_ = 0;    // twips
    int goalHeight_ = 0;
    int scaleX_ = 100;
    int scaleY_ = 100;
};
