#include "rtf/RtfTextEncoder.h"

#include "rtf/RtfCodePage.h"

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

} // namespace

// Text in code page 1252, everything else as a UTF-16 unit in \uN with '?' for readers without Unicode.
void RtfTextEncoder::append(QByteArray &out, const QString &text, bool inTable)
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
void RtfTextEncoder::appendUnicode(QByteArray &out, char16_t ch)
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
