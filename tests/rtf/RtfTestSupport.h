#pragma once

#include <QBuffer>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <ostream>
#include <vector>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList &texts, std::ostream *os) { *os << texts.join(" | ").toStdString(); }

inline QStringList blockTexts(const QTextDocument &doc)
{
    QStringList texts;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        texts << block.text();
    return texts;
}

// The character format of the first character of the first occurrence of word.
inline QTextCharFormat formatOf(const QTextDocument &doc, const QString &word)
{
    const QTextCursor found = doc.find(word);
    if (found.isNull())
        return QTextCharFormat();
    QTextCursor cursor(const_cast<QTextDocument *>(&doc));
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

inline QTextBlockFormat blockFormatAt(const QTextDocument &doc, int blockNumber)
{
    return doc.findBlockByNumber(blockNumber).blockFormat();
}

inline std::vector<QTextImageFormat> imagesOf(const QTextDocument &doc)
{
    std::vector<QTextImageFormat> images;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (int i = 0; format.isImageFormat() && i < it.fragment().length(); ++i)
                images.push_back(format.toImageFormat());
        }
    }
    return images;
}

inline QImage imageResource(const QTextDocument &doc, const QTextImageFormat &format)
{
    const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (resource.typeId() == QMetaType::QByteArray)
        return QImage::fromData(resource.toByteArray());
    return resource.value<QImage>();
}

// A small picture with distinct halves, so that a decoded copy can be told from a blank one.
inline QImage twoColourImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x)
            image.setPixelColor(x, y, QColor(255, 0, 0));
    return image;
}

inline QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The first table of the document's top level, or null.
inline QTextTable *firstTable(const QTextDocument &doc)
{
    for (QTextFrame *frame : doc.rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame))
            return table;
    }
    return nullptr;
}

// A cell's paragraphs, one line each.
inline QString cellText(const QTextTable &table, int row, int column)
{
    const QTextTableCell cell = table.cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

inline bool inTable(const QTextBlock &block) { return QTextCursor(block).currentTable() != nullptr; }

// The block whose text is text, or an invalid one.
inline QTextBlock blockWithText(const QTextDocument &doc, const QString &text)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.text() == text)
            return block;
    }
    return QTextBlock();
}
