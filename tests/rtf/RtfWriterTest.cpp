#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include "tests/rtf/RtfTestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString kMixedText = QString::fromUtf8("Ärger, Łódź, Привет – “€” 😀");

class RtfRoundTrip : public ::testing::Test
{
protected:
    // Written by this writer, read by this reader.
    QTextDocument &reread()
    {
        written = writeRtf(original);
        EXPECT_TRUE(readRtf(copy, written));
        return copy;
    }

    QTextDocument original;
    QTextDocument copy;
    QTextCursor cursor{&original};
    QByteArray written;
};

TEST_F(RtfRoundTrip, TextSurvivesIncludingNonAsciiAndRtfSpecials)
{
    cursor.insertText(kMixedText);
    cursor.insertBlock();
    cursor.insertBlock();
    cursor.insertText(QString("{braces} back\\slash\ttab") + QChar::LineSeparator + QChar(0x00A0) + "end;");
    EXPECT_EQ(blockTexts(reread()), blockTexts(original));
    EXPECT_TRUE(std::all_of(written.cbegin(), written.cend(), [](char c) { return (c & 0x80) == 0; }))
        << "RTF is 7-bit";
}

TEST_F(RtfRoundTrip, LoneSurrogatesAreSavedAsReplacementCharacter)
{
    // Broken plain text (read as UTF-16 or UTF-32) is the only way such halves reach a title.
    const QString grin = QString::fromUtf8("😀");
    QString text = "a" + grin + "b";
    text += QChar(0xD800);
    text += "c";
    text += QChar(0xDC00);
    text += QChar(0xDC01);
    cursor.insertText(text);
    const QString expected = "a" + grin + "b" + QChar(QChar::ReplacementCharacter) + "c"
                             + QChar(QChar::ReplacementCharacter) + QChar(QChar::ReplacementCharacter);
    EXPECT_EQ(reread().toPlainText(), expected);

    // Other word processors get no half characters to mangle either: only the pair's halves.
    QList<char16_t> escaped;
    static const QRegularExpression unicodeWord(QStringLiteral("\\\\u(-?\\d+)"));
    for (const QRegularExpressionMatch &m : unicodeWord.globalMatch(QString::fromLatin1(written)))
        escaped.append(char16_t(m.captured(1).toInt()));
    EXPECT_EQ(escaped, (QList<char16_t>{grin.at(0).unicode(), grin.at(1).unicode(), QChar::ReplacementCharacter,
                                        QChar::ReplacementCharacter, QChar::ReplacementCharacter}));
}

TEST_F(RtfRoundTrip, EmptyDocumentStaysEmpty)
{
    EXPECT_EQ(blockTexts(reread()), QStringList{""});
}

TEST_F(RtfRoundTrip, FontsSizesColoursAndStyles)
{
    QTextCharFormat serif;
    serif.setFontFamilies({"DejaVu Serif"});
    serif.setFontPointSize(18);
    serif.setFontWeight(QFont::Bold);
    serif.setForeground(QColor(200, 10, 20));
    cursor.insertText("serif", serif);
    QTextCharFormat mono;
    mono.setFontFamilies({QString::fromUtf8("Liberation Mono")});
    mono.setFontPointSize(9.5);
    mono.setFontItalic(true);
    mono.setFontUnderline(true);
    mono.setFontStrikeOut(true);
    mono.setBackground(QColor(255, 255, 0));
    cursor.insertText(" mono", mono);
    QTextCharFormat plain; // nothing set: the document's default font
    cursor.insertText(" plain", plain);
    original.setDefaultFont(QFont("DejaVu Sans", 11));

    reread();
    const QTextCharFormat a = formatOf(copy, "serif");
    EXPECT_EQ(a.fontFamilies().toStringList(), QStringList{"DejaVu Serif"});
    EXPECT_DOUBLE_EQ(a.fontPointSize(), 18.0);
    EXPECT_EQ(a.fontWeight(), QFont::Bold);
    EXPECT_FALSE(a.fontItalic());
    EXPECT_EQ(a.foreground().color(), QColor(200, 10, 20));
    EXPECT_EQ(a.background().style(), Qt::NoBrush);
    const QTextCharFormat b = formatOf(copy, "mono");
    EXPECT_EQ(b.fontFamilies().toStringList(), QStringList{"Liberation Mono"});
    EXPECT_DOUBLE_EQ(b.fontPointSize(), 9.5);
    EXPECT_EQ(b.fontWeight(), QFont::Normal);
    EXPECT_TRUE(b.fontItalic());
    EXPECT_TRUE(b.fontUnderline());
    EXPECT_TRUE(b.fontStrikeOut());
    EXPECT_EQ(b.background().color(), QColor(255, 255, 0));
    EXPECT_EQ(b.foreground().style(), Qt::NoBrush);
    const QTextCharFormat c = formatOf(copy, "plain");
    EXPECT_EQ(c.fontFamilies().toStringList(), QStringList{"DejaVu Sans"});
    EXPECT_DOUBLE_EQ(c.fontPointSize(), 11.0);
}

TEST_F(RtfRoundTrip, AlignmentAndIndents)
{
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    for (int i = 0; i < 4; ++i) {
        QTextBlockFormat format;
        format.setAlignment(alignments[i]);
        format.setLeftMargin(12.0 * i);
        format.setRightMargin(6.0 * i);
        format.setTextIndent(-4.0 * i);
        format.setTopMargin(2.0 * i);
        format.setBottomMargin(8.0 * i);
        if (i == 0)
            cursor.setBlockFormat(format);
        else
            cursor.insertBlock(format);
        cursor.insertText(QString::number(i));
    }
    QTextBlockFormat empty; // an empty last line keeps its paragraph
    empty.setAlignment(Qt::AlignRight);
    cursor.insertBlock(empty);

    reread();
    ASSERT_EQ(copy.blockCount(), 5);
    for (int i = 0; i < 4; ++i) {
        const QTextBlockFormat format = blockFormatAt(copy, i);
        EXPECT_EQ(format.alignment(), alignments[i]) << i;
        EXPECT_DOUBLE_EQ(format.leftMargin(), 12.0 * i) << i;
        EXPECT_DOUBLE_EQ(format.rightMargin(), 6.0 * i) << i;
        EXPECT_DOUBLE_EQ(format.textIndent(), -4.0 * i) << i;
        EXPECT_DOUBLE_EQ(format.topMargin(), 2.0 * i) << i;
        EXPECT_DOUBLE_EQ(format.bottomMargin(), 8.0 * i) << i;
    }
    EXPECT_EQ(blockFormatAt(copy, 4).alignment(), Qt::AlignRight);
}

TEST_F(RtfRoundTrip, PicturesFromImagesAndFromReadFiles)
{
    const QImage image = twoColourImage(30, 20);
    original.addResource(QTextDocument::ImageResource, QUrl("mem:one"), image);
    QTextImageFormat shown;
    shown.setName("mem:one");
    shown.setWidth(60);
    shown.setHeight(40);
    cursor.insertText("before");
    cursor.insertImage(shown);
    QTextImageFormat natural;
    natural.setName("mem:one");
    cursor.insertImage(natural);
    cursor.insertText("after");

    reread();
    EXPECT_EQ(blockTexts(copy), blockTexts(original));
    const std::vector<QTextImageFormat> images = imagesOf(copy);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_DOUBLE_EQ(images[0].width(), 60.0);
    EXPECT_DOUBLE_EQ(images[0].height(), 40.0);
    EXPECT_DOUBLE_EQ(images[1].width(), 30.0);
    EXPECT_DOUBLE_EQ(images[1].height(), 20.0);
    const QImage back = imageResource(copy, images[0]);
    EXPECT_EQ(back.size(), QSize(30, 20));
    EXPECT_EQ(back.pixelColor(5, 5), QColor(0, 0, 255));
    EXPECT_EQ(back.pixelColor(25, 5), QColor(255, 0, 0));

    // A picture read from a file is written back with its original bytes.
    const QVariant first = copy.resource(QTextDocument::ImageResource, QUrl(images[0].name()));
    QTextDocument third;
    ASSERT_TRUE(readRtf(third, writeRtf(copy)));
    const std::vector<QTextImageFormat> again = imagesOf(third);
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(third.resource(QTextDocument::ImageResource, QUrl(again[0].name())).toByteArray(),
              first.toByteArray());
}

// Another reader of the title files: unrtf's HTML output, whose entities Qt decodes.
TEST_F(RtfRoundTrip, TablesKeepTheirCellsWidthsAndBorders)
{
    cursor.insertText("davor");
    QTextTableFormat format;
    format.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 120),
                                      QTextLength(QTextLength::FixedLength, 80)});
    format.setCellPadding(4);
    format.setBorder(0);
    QTextTable *table = cursor.insertTable(2, 2, format);
    QTextTableCellFormat framed;
    framed.setTopBorder(2);
    framed.setTopBorderStyle(QTextFrameFormat::BorderStyle_Dashed);
    framed.setTopBorderBrush(QColor(255, 0, 0));
    table->cellAt(0, 0).setFormat(framed);
    table->cellAt(0, 0).firstCursorPosition().insertText("Satz");
    table->cellAt(0, 1).firstCursorPosition().insertText("6:4");
    QTextCursor two = table->cellAt(1, 1).firstCursorPosition();
    two.insertText("oben");
    two.insertBlock();
    two.insertText("unten");
    QTextCursor after = table->lastCursorPosition();
    after.movePosition(QTextCursor::NextBlock);
    after.insertText("danach");

    reread();
    for (const char *word : {"\\trowd", "\\cellx1800", "\\cellx3000", "\\clbrdrt\\brdrdash\\brdrw30\\brdrcf1",
                             "\\intbl", "\\cell", "\\row"})
        EXPECT_TRUE(written.contains(word)) << word;
    const QTextTable *read = firstTable(copy);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->rows(), 2);
    EXPECT_EQ(read->columns(), 2);
    EXPECT_EQ(cellText(*read, 0, 0), "Satz");
    EXPECT_EQ(cellText(*read, 0, 1), "6:4");
    EXPECT_EQ(cellText(*read, 1, 0), "");
    EXPECT_EQ(cellText(*read, 1, 1), "oben\nunten");
    EXPECT_EQ(read->format().columnWidthConstraints(), format.columnWidthConstraints());
    EXPECT_DOUBLE_EQ(read->format().cellPadding(), 4.0);
    const QTextTableCellFormat cell = read->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(cell.topBorder(), 2.0);
    EXPECT_EQ(cell.topBorderStyle(), QTextFrameFormat::BorderStyle_Dashed);
    EXPECT_EQ(cell.topBorderBrush().color(), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(cell.bottomBorder(), 0.0);
    EXPECT_FALSE(inTable(blockWithText(copy, "davor")));
    EXPECT_FALSE(inTable(blockWithText(copy, "danach")));
}

TEST_F(RtfRoundTrip, ATablesOwnBorderFramesEveryCell)
{
    QTextTableFormat format; // Qt's default: a one-pixel border, widths left to the layout
    QTextTable *table = cursor.insertTable(1, 3, format);
    table->cellAt(0, 2).firstCursorPosition().insertText("c");
    original.setTextWidth(450);

    reread();
    const QTextTable *read = firstTable(copy);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->columns(), 3);
    const QList<QTextLength> widths = read->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_EQ(widths[0], QTextLength(QTextLength::FixedLength, 150)); // an equal share of the text width
    for (int column = 0; column < 3; ++column) {
        const QTextTableCellFormat cell = read->cellAt(0, column).format().toTableCellFormat();
        EXPECT_DOUBLE_EQ(cell.leftBorder(), 1.0) << column;
        EXPECT_DOUBLE_EQ(cell.bottomBorder(), 1.0) << column;
    }
}

TEST_F(RtfRoundTrip, ListsKeepTheirStylesLevelsAndItems)
{
    cursor.insertText("Heute");
    cursor.insertBlock();
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    bullets.setIndent(1);
    QTextList *list = cursor.createList(bullets);
    cursor.insertText("eins");
    cursor.insertBlock();
    cursor.insertText("zwei");
    cursor.insertBlock();
    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListUpperAlpha);
    numbers.setIndent(2);
    cursor.createList(numbers);
    cursor.insertText("Unterpunkt");
    cursor.insertBlock();
    list->add(cursor.block());
    cursor.insertText("drei");
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText("Ende");

    reread();
    for (const char *word : {"\\listtable", "\\listoverridetable", "\\ls1\\ilvl0", "\\ls2\\ilvl1", "{\\listtext"})
        EXPECT_TRUE(written.contains(word)) << word;
    EXPECT_EQ(blockTexts(copy), (QStringList{"Heute", "eins", "zwei", "Unterpunkt", "drei", "Ende"}));
    const QTextList *first = blockWithText(copy, "eins").textList();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(first->format().indent(), 1);
    EXPECT_EQ(first->count(), 3);
    EXPECT_EQ(blockWithText(copy, "drei").textList(), first);
    const QTextList *inner = blockWithText(copy, "Unterpunkt").textList();
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->format().style(), QTextListFormat::ListUpperAlpha);
    EXPECT_EQ(inner->format().indent(), 2);
    EXPECT_DOUBLE_EQ(blockWithText(copy, "eins").blockFormat().leftMargin(), 0.0);
    EXPECT_EQ(blockWithText(copy, "Ende").textList(), nullptr);
}

TEST(RtfWriterForeignReaders, UnrtfReadsTheSameText)
{
    const QString unrtf = QStandardPaths::findExecutable("unrtf");
    if (unrtf.isEmpty())
        GTEST_SKIP() << "unrtf is not installed";
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    red.setFontPointSize(20);
    cursor.insertText(kMixedText.left(kMixedText.size() - 3), red); // unrtf does not pair surrogates
    cursor.insertBlock();
    cursor.insertText("Zweite {Zeile} \\ ende");

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("title.rtf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(writeRtf(doc));
    file.close();

    QProcess process;
    process.start(unrtf, {"--html", file.fileName()});
    ASSERT_TRUE(process.waitForFinished(30000));
    QTextDocument html;
    html.setHtml(QString::fromUtf8(process.readAllStandardOutput()));
    EXPECT_EQ(html.toPlainText().simplified(), doc.toPlainText().simplified());
}

} // namespace
