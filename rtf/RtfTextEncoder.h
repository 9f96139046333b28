#pragma once

#include <QByteArray>
#include <QString>

// Text as RTF writes it: code page 1252, with \uN for everything outside it and
// control words for tabs, line breaks and the special spaces and hyphens.
class RtfTextEncoder
{
public:
    // In a font or colour table a ';' ends the entry, so there it is written as \'3b.
    static void append(QByteArray &out, const QString &text, bool inTable);

private:
    static void appendUnicode(QByteArray &out, char16_t ch);
};
