#pragma once

#include <QByteArray>

class QTextDocument;

// The document as RTF: code page 1252 with \uN for everything outside it, a font
// and a colour table, character and paragraph formatting, and pictures as PNG
// (JPEG pictures stay JPEG). Every paragraph ends with \par, as word processors write it.
QByteArray writeRtf(const QTextDocument &doc);
