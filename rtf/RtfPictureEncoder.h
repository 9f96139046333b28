#pragma once

#include <QByteArray>

class QTextDocument;
class QTextImageFormat;

// A picture of the document as an RTF \pict group: PNG, or JPEG when its resource is
// JPEG, at the size the document shows it.
class RtfPictureEncoder
{
public:
    // Appends nothing for a picture a reader could not show.
    static void append(QByteArray &out, const QTextDocument &doc, const QTextImageFormat &format);
};
