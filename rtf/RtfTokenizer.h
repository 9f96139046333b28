#pragma once

#include <QByteArrayView>

#include <string_view>

// One piece of RTF syntax. Views point into the tokenized data.
struct RtfToken
{
    enum class Kind : quint8 {
        End,
        GroupOpen,
        GroupClose,
        ControlWord,   // name, with param when hasParam
        ControlSymbol, // symbol: the character after the backslash
        HexByte,       // \'hh: param is the value, digits how many hex digits followed (0 to 2)
        Text,          // bytes up to the next brace or backslash
        Binary,        // the bytes a \binN carries
    };

    Kind kind = Kind::End;
    std::string_view text; // ControlWord: its name; Text and Binary: the bytes
    int param = 0;
    int digits = 0;
    bool hasParam = false;
    char symbol = 0;
};

// Splits RTF into groups, control words, control symbols and text. It knows the syntax
// only; what a word means is the document builder's business. \bin is the one word it
// reads the data of, since its bytes may hold braces and backslashes.
class RtfTokenizer
{
public:
    explicit RtfTokenizer(QByteArrayView data)
        : p_(data.data()), end_(data.data() + data.size())
    {
    }

    RtfToken next();

private:
    RtfToken controlSequence();
    int readNumber();

    const char *p_;
    const char *end_;
};
