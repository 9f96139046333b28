#include "rtf/RtfTokenizer.h"

#include <algorithm>
#include <limits>

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    while (p_ < end_) {
        switch (*p_) {
        case '{': ++p_; token.kind = RtfToken::Kind::GroupOpen; return token;
        case '}': ++p_; token.kind = RtfToken::Kind::GroupClose; return token;
        case '\\':
            ++p_;
            if (p_ >= end_)
                return token; // a lone backslash at the end carries nothing
            return controlSequence();
        default: {
            const char *start = p_;
            while (p_ < end_ && *p_ != '{' && *p_ != '}' && *p_ != '\\')
                ++p_;
            token.kind = RtfToken::Kind::Text;
            token.text = std::string_view(start, std::size_t(p_ - start));
            return token;
        }
        }
    }
    return token;
}

RtfToken RtfTokenizer::controlSequence()
{
    RtfToken token;
    const char c = *p_;
    if (!isLetter(c)) {
        ++p_;
        if (c == '\'') {
            int value = 0;
            while (token.digits < 2 && p_ < end_ && hexValue(*p_) >= 0) {
                value = value * 16 + hexValue(*p_);
                ++p_;
                ++token.digits;
            }
            token.kind = RtfToken::Kind::HexByte;
            token.param = value;
            return token;
        }
        token.kind = RtfToken::Kind::ControlSymbol;
        token.symbol = c;
        return token;
    }

    const char *wordStart = p_;
    while (p_ < end_ && isLetter(*p_))
        ++p_;
    token.kind = RtfToken::Kind::ControlWord;
    token.text = std::string_view(wordStart, std::size_t(p_ - wordStart));
    if (p_ < end_ && (isDigit(*p_) || (*p_ == '-' && p_ + 1 < end_ && isDigit(p_[1])))) {
        token.hasParam = true;
        token.param = readNumber();
    }
    if (p_ < end_ && *p_ == ' ')
        ++p_;

    if (token.text == "bin") { // its bytes must be consumed even where they are not wanted
        const qsizetype available = end_ - p_;
        const qsizetype length = std::clamp<qsizetype>(token.hasParam ? token.param : 0, 0, available);
        token.kind = RtfToken::Kind::Binary;
        token.text = std::string_view(p_, std::size_t(length));
        p_ += length;
    }
    return token;
}

int RtfTokenizer::readNumber()
{
    const bool negative = *p_ == '-';
    if (negative)
        ++p_;
    long long value = 0;
    while (p_ < end_ && isDigit(*p_)) {
        value = std::min(value * 10 + (*p_ - '0'), 10'000'000'000LL); // saturate, but eat every digit
        ++p_;
    }
    value = std::min<long long>(value, std::numeric_limits<int>::max());
    return int(negative ? -value : value);
}
