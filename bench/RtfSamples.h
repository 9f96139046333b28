#pragma once

#include <QByteArray>
#include <QSize>

// Title files as a word processor writes them: a font and a colour table, centred
// paragraphs in several fonts and sizes, bold, italic and colour changes, accented letters
// as \'hh and others as \uN. Deterministic, so that runs compare.
QByteArray titleRtf(qsizetype minimumBytes);

// The same, with a PNG picture (\pict\pngblip, hex) after the first paragraphs.
QByteArray titleRtfWithPicture(qsizetype minimumBytes, const QByteArray &png, QSize pixels);

// A photo-like PNG that barely compresses: smooth gradients under per-pixel noise.
QByteArray noisyPng(QSize pixels);
