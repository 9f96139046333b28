#pragma once

#include <QByteArray>

class QTextDocument;

// RTF measures in twips; the document lays out in pixels at 96 dpi.
inline constexpr double kTwipsPerPixel = 15.0;

// Replaces the content of doc by the RTF in data and returns true, or returns
// false and leaves doc untouched when data does not start like RTF ("{\rtf").
// Malformed RTF loads as far as it reads; the result is unmodified and has no undo history.
bool readRtf(QTextDocument &doc, const QByteArray &data);

// Like readRtf, but data that is not RTF loads as plain text (UTF-8 when it is
// valid UTF-8, else code page 1252), as a rich-text edit control does.
void readRtfOrPlainText(QTextDocument &doc, const QByteArray &data);
