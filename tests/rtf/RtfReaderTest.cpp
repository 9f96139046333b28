#include "rtf/RtfReader.h"

#include "rtf/RtfLimits.h"

#include "tests/rtf/RtfTestSupport.h"

#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

class RtfReaderTest : public ::testing::Test
{
protected:
    QStringList read(const QByteArray &rtf)
    {
        EXPECT_TRUE(readRtf(doc, rtf));
        return blockTexts(doc);
    }
    QString text(const QByteArray &body) { return read("{\\rtf1\\ansi " + body + "}").join('\n'); }

    QTextDocument doc;
};

// The kinds of files the operator's word processors write, written out by hand.
const QByteArray kWordPadFile =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}"
    "{\\f1\\fnil\\fcharset238 Calibri;}{\\f2\\fnil\\fcharset204 Calibri;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green77\\blue187;}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\qc\\cf1\\b\\f0\\fs44\\lang7 \\'c4rger im B\\'fcro \\'80\\par\r\n"
    "\\pard\\sa200\\sl276\\slmult1\\cf2\\b0\\f1\\fs22 \\'a3\\'f3d\\'9f\\par\r\n"
    "\\cf0\\f2\\lang1049\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\f0\\lang7\\par\r\n}\r\n";

const QByteArray kWordFile =
    "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0\\stshfdbch0\\stshfloch31506\\deflang1031"
    "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
    "{\\f1\\fbidi \\fswiss\\fcharset0\\fprq2{\\*\\panose 020b0604020202020204}Arial;}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\n"
    "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\rin0\\lin0\\itap0 \\rtlch\\fcs1 \\af0\\afs24 \\ltrch\\fcs0 "
    "\\fs24\\lang1031 \\snext0 \\sqformat \\spriority0 Normal;}}\n"
    "{\\*\\rsidtbl \\rsid1600000}{\\info{\\title Titel}{\\author Anna}{\\creatim\\yr2024\\mo3\\dy1\\hr10\\min5}}\n"
    "{\\*\\xmlnstbl {\\xmlns1 http://schemas.microsoft.com/office/word/2003/wordml}}\n"
    "\\paperw11906\\paperh16838\\margl1417\\margr1417{\\header \\pard\\plain Kopfzeile\\par}\n"
    "\\pard\\plain \\ltrpar\\qc \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\rin0\\lin0\\itap0 \\rtlch\\fcs1 "
    "\\af1\\afs28 \\ltrch\\fcs0 \\b\\f1\\fs28\\cf2\\lang1031 {\\rtlch\\fcs1 \\af1 \\ltrch\\fcs0 \\insrsid1600000 "
    "Hallo Welt}{\\rtlch\\fcs1 \\af1 \\ltrch\\fcs0 \\insrsid1600000 \\par }\n"
    "{\\*\\themedata 504b0304140006000800000021}\n{\\*\\datastore 0105000002000000}\n}";

const QByteArray kLibreOfficeFile =
    "{\\rtf1\\ansi\\deff3\\adeflang1025\n"
    "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f3\\fswiss\\fprq2\\fcharset0 Liberation Sans"
    "{\\*\\falt Arial};}{\\f5\\fnil\\fprq2\\fcharset0 Noto Sans CJK SC;}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red201\\green33\\blue30;}\n"
    "{\\stylesheet{\\s0\\snext0\\ql\\widctlpar\\hyphpar0\\ltrpar\\cf0\\kerning1\\dbch\\af5\\langfe2052\\dbch\\af6"
    "\\afs24\\alang1081\\loch\\f3\\hich\\af3\\fs24\\lang1031 Normal;}}\n"
    "{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}{\\info{\\creatim\\yr2024"
    "\\mo1\\dy1\\hr0\\min0}}{\\*\\userprops{\\propname AppVersion}\\proptype30{\\staticval 16.0000}}\\deftab709\n"
    "{\\*\\pgdsctbl\n{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pghsxn16838\\pgdscnxt0 Default Page Style;}}\n"
    "\\formshade{\\*\\pgdscno0}\\paperh16838\\paperw11906\\sectd\\sbknone\\pgndec\\sftnnar{\\*\\ftnsep\\chftnsep}"
    "\\pgndec\\pard\\plain \\s0\\ql\\widctlpar\\hyphpar0\\ltrpar\\cf0\\kerning1\\dbch\\af5\\langfe2052\\dbch\\af6"
    "\\afs24\\alang1081\\loch\\f3\\hich\\af3\\fs24\\lang1031{\\cf2\\fs36\\loch\n"
    "\\u1055\\'3f\\u1088\\'3f\\u1080\\'3f\\u1074\\'3f\\u1077\\'3f\\u1090\\'3f}{\\fs36\\loch\n"
    ", \\u196\\'c4rger}\n\\par }";

TEST_F(RtfReaderTest, WordPadFileWithThreeCodePagesAndColours)
{
    EXPECT_EQ(read(kWordPadFile),
              QStringList({QString::fromUtf8("Ärger im Büro €"), QString::fromUtf8("Łódź"),
                           QString::fromUtf8("Привет")}));
    const QTextCharFormat title = formatOf(doc, "Ärger");
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{"Calibri"});
    EXPECT_DOUBLE_EQ(title.fontPointSize(), 22.0);
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_EQ(title.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(blockFormatAt(doc, 0).alignment(), Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(blockFormatAt(doc, 0).bottomMargin(), 200 / kTwipsPerPixel);

    const QTextCharFormat polish = formatOf(doc, QString::fromUtf8("Łódź"));
    EXPECT_EQ(polish.fontWeight(), QFont::Normal);
    EXPECT_EQ(polish.foreground().color(), QColor(0, 77, 187));
    EXPECT_EQ(formatOf(doc, QString::fromUtf8("Привет")).foreground().style(), Qt::NoBrush); // \cf0: automatic
    EXPECT_FALSE(doc.isModified());
}

TEST_F(RtfReaderTest, WordFileShowsOnlyItsBodyText)
{
    EXPECT_EQ(read(kWordFile), QStringList{"Hallo Welt"});
    const QTextCharFormat format = formatOf(doc, "Hallo");
    EXPECT_EQ(format.fontFamilies().toStringList(), QStringList{"Arial"}); // \af1 and \afs are not the font
    EXPECT_DOUBLE_EQ(format.fontPointSize(), 14.0);
    EXPECT_EQ(format.foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(blockFormatAt(doc, 0).alignment(), Qt::AlignHCenter);
}

TEST_F(RtfReaderTest, LibreOfficeFileWithUnicodeAndHexFallbacks)
{
    EXPECT_EQ(read(kLibreOfficeFile), QStringList{QString::fromUtf8("Привет, Ärger")});
    const QTextCharFormat cyrillic = formatOf(doc, QString::fromUtf8("Привет"));
    EXPECT_EQ(cyrillic.fontFamilies().toStringList(), QStringList{"Liberation Sans"});
    EXPECT_EQ(cyrillic.foreground().color(), QColor(201, 33, 30));
    EXPECT_DOUBLE_EQ(cyrillic.fontPointSize(), 18.0);
    EXPECT_EQ(formatOf(doc, QString::fromUtf8("Ärger")).foreground().style(), Qt::NoBrush);
}

// Written by LibreOffice 7.4 (Debian 12) from a title with umlauts, Cyrillic, colours, sizes, alignment and a PNG.
TEST_F(RtfReaderTest, LibreOfficeWrittenFixture)
{
    QFile file(QStringLiteral(COURTLYX_RTF_FIXTURES "/libreoffice-title.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(read(file.readAll()),
              QStringList({QString::fromUtf8("Ärger, Łódź, Привет"),
                           QString("Spiel, Satz und Sieg ") + QChar::ObjectReplacementCharacter}));
    const QTextCharFormat title = formatOf(doc, "Ärger");
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{"DejaVu Serif"});
    EXPECT_DOUBLE_EQ(title.fontPointSize(), 24.0);
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_EQ(title.foreground().color(), QColor(200, 0, 0));
    EXPECT_EQ(blockFormatAt(doc, 0).alignment(), Qt::AlignHCenter);
    const QTextCharFormat line = formatOf(doc, "Spiel");
    EXPECT_EQ(line.fontFamilies().toStringList(), QStringList{"Liberation Sans"});
    EXPECT_DOUBLE_EQ(line.fontPointSize(), 12.0);
    EXPECT_TRUE(line.fontItalic());
    EXPECT_TRUE(line.fontUnderline());
    EXPECT_EQ(line.background().color(), QColor(255, 255, 0));
    EXPECT_EQ(blockFormatAt(doc, 1).alignment(), Qt::AlignRight);
    EXPECT_DOUBLE_EQ(blockFormatAt(doc, 1).leftMargin(), 48.0);
    const std::vector<QTextImageFormat> images = imagesOf(doc); // the PNG, not its WMF stand-in
    ASSERT_EQ(images.size(), 1u);
    EXPECT_DOUBLE_EQ(images[0].width(), 80.0);
    EXPECT_DOUBLE_EQ(images[0].height(), 40.0);
    const QImage picture = imageResource(doc, images[0]);
    EXPECT_EQ(picture.pixelColor(5, 5), QColor(0, 0, 255));
    EXPECT_EQ(picture.pixelColor(picture.width() - 5, 5), QColor(255, 0, 0));
}

TEST_F(RtfReaderTest, CodePageComesFromTheDocumentOrTheFontsCharset)
{
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1250 \\'a3\\'f3d\\'9f\\par}"), QStringList{QString::fromUtf8("Łódź")});
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}"), QStringList{QString::fromUtf8("Привет")});
    EXPECT_EQ(read("{\\rtf1\\ansi \\'c4\\'80\\'9f}"), QStringList{QString::fromUtf8("Ä€Ÿ")});
    // Greek and Turkish fonts in a 1252 document, and the \deff font's charset for text before any \f.
    EXPECT_EQ(read("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fcharset161 Arial;}{\\f1\\fcharset162 Arial;}}"
                   "\\'dd{\\f0 \\'e1}\\'dd}"),
              QStringList{QString::fromUtf8("İαİ")});
    // Raw 8-bit text, which some writers leave unescaped.
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1251 \xcf\xf0\xe8}"), QStringList{QString::fromUtf8("При")});
    // A double-byte page keeps lead and trail bytes together.
    EXPECT_EQ(read("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 \\'82\\'a0\\'83A}"),
              QStringList{QString::fromUtf8("あア")});
}

TEST_F(RtfReaderTest, UnicodeFallbacksAreSkippedByTheGroupsCount)
{
    EXPECT_EQ(text("\\uc0\\u1055 \\u1088 x"), QString::fromUtf8("Прx"));
    EXPECT_EQ(text("\\uc1\\u1055?x"), QString::fromUtf8("Пx"));
    EXPECT_EQ(text("\\uc2\\u1055\\'3f\\'3fx \\u1088 abc"), QString::fromUtf8("Пx рc"));
    EXPECT_EQ(text("{\\uc2 \\u1055??}\\u1088?"), QString::fromUtf8("Пр")); // \uc ends with its group
    EXPECT_EQ(text("\\uc3\\u1055 a}"), QString::fromUtf8("П"));          // a group ends the fallback early
    EXPECT_EQ(text("\\u-223?"), QString::fromUtf8("Ａ"));                // above 32767 as negative
    EXPECT_EQ(text("\\u-10179?\\u-8704?!"), QString::fromUtf8("😀!"));   // surrogate pair
    EXPECT_EQ(text("\\u-10179?x \\u-8704?"), QString::fromUtf8("\uFFFDx \uFFFD"));
    EXPECT_EQ(text("\\u-70000?a\\u99999999?b"), QString::fromUtf8("\uFFFDa\uFFFDb"));
}

TEST_F(RtfReaderTest, GroupsRestoreTheirCharacterFormatting)
{
    read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;"
         "\\red255\\green255\\blue0;}\\f0\\fs20 aa{\\b\\fs40\\cf1 bb{\\i\\f1 cc}dd}ee "
         "\\ul ff\\ulnone  gg \\strike hh\\strike0  {\\highlight2 ii} {\\cb2 jj} \\b\\i\\cf1 kk\\plain  ll\\par}");
    EXPECT_EQ(blockTexts(doc), QStringList{"aabbccddee ff gg hh ii jj kk ll"});

    const QTextCharFormat aa = formatOf(doc, "aa");
    EXPECT_EQ(aa.fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_DOUBLE_EQ(aa.fontPointSize(), 10.0);
    const QTextCharFormat cc = formatOf(doc, "cc");
    EXPECT_EQ(cc.fontFamilies().toStringList(), QStringList{"Courier New"});
    EXPECT_TRUE(cc.fontItalic());
    EXPECT_EQ(cc.fontWeight(), QFont::Bold);
    EXPECT_EQ(cc.foreground().color(), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(cc.fontPointSize(), 20.0);
    const QTextCharFormat dd = formatOf(doc, "dd");
    EXPECT_FALSE(dd.fontItalic());
    EXPECT_EQ(dd.fontFamilies().toStringList(), QStringList{"Arial"});
    const QTextCharFormat ee = formatOf(doc, "ee");
    EXPECT_EQ(ee.fontWeight(), QFont::Normal);
    EXPECT_DOUBLE_EQ(ee.fontPointSize(), 10.0);
    EXPECT_EQ(ee.foreground().style(), Qt::NoBrush);

    EXPECT_TRUE(formatOf(doc, "ff").fontUnderline());
    EXPECT_FALSE(formatOf(doc, "gg").fontUnderline());
    EXPECT_TRUE(formatOf(doc, "hh").fontStrikeOut());
    EXPECT_EQ(formatOf(doc, "ii").background().color(), QColor(255, 255, 0));
    EXPECT_EQ(formatOf(doc, "jj").background().color(), QColor(255, 255, 0));
    EXPECT_EQ(formatOf(doc, "kk").foreground().color(), QColor(255, 0, 0));
    const QTextCharFormat ll = formatOf(doc, "ll"); // \plain: default font and 12 pt
    EXPECT_EQ(ll.fontWeight(), QFont::Normal);
    EXPECT_FALSE(ll.fontItalic());
    EXPECT_DOUBLE_EQ(ll.fontPointSize(), 12.0);
    EXPECT_EQ(ll.foreground().style(), Qt::NoBrush);
}

TEST_F(RtfReaderTest, PlainReturnsToTheDefaultFont)
{
    read("{\\rtf1\\deff2{\\fonttbl{\\f1 Courier New;}{\\f2 Arial;}}\\f1\\b mono\\plain  back\\par}");
    EXPECT_EQ(formatOf(doc, "mono").fontFamilies().toStringList(), QStringList{"Courier New"});
    EXPECT_EQ(formatOf(doc, "back").fontFamilies().toStringList(), QStringList{"Arial"});
}

// The document group counts as the first level; the deepest level with its own state is
// kMaxGroupDepth - 1, and groups below it share that level's state.
TEST_F(RtfReaderTest, GroupsKeepTheirOwnStateUpToTheNestingLimit)
{
    const auto nested = [](int levels) { // levels: the groups inside the document group
        return "{\\rtf1 " + QByteArray(levels - 1, '{') + "{\\b in}out" + QByteArray(levels - 1, '}') + "}";
    };
    const int ownStateLevels = int(kMaxGroupDepth) - 2; // below the document group
    read(nested(ownStateLevels));
    EXPECT_EQ(blockTexts(doc), QStringList{"inout"});
    EXPECT_EQ(formatOf(doc, "in").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(doc, "out").fontWeight(), QFont::Normal);

    read(nested(ownStateLevels + 1));
    EXPECT_EQ(blockTexts(doc), QStringList{"inout"});
    EXPECT_EQ(formatOf(doc, "out").fontWeight(), QFont::Bold); // the bold group shared the level above
}

TEST_F(RtfReaderTest, TableRowsAndCellsBecomeATextTable)
{
    read("{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}Vor\\par\n"
         "\\trowd\\trgaph75\\clbrdrt\\brdrs\\brdrw30\\brdrcf1\\clbrdrb\\brdrdb\\cellx1500\\cellx4500\n"
         "\\pard\\intbl Satz\\cell\\pard\\intbl\\qc eins\\par zwei\\cell\\row\n"
         "\\trowd\\cellx1500\\cellx4500\\cellx6000\\pard\\intbl a\\cell b\\cell c\\cell\\row\n"
         "\\pard Nach\\par}");
    EXPECT_EQ(blockTexts(doc), (QStringList{"Vor", "Satz", "eins", "zwei", "", "a", "b", "c", "Nach"}));
    const QTextTable *table = firstTable(doc);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 3); // the second row's third cell widens the table
    EXPECT_EQ(cellText(*table, 0, 0), "Satz");
    EXPECT_EQ(cellText(*table, 0, 1), "eins\nzwei");
    EXPECT_EQ(cellText(*table, 0, 2), "");
    EXPECT_EQ(cellText(*table, 1, 2), "c");
    EXPECT_FALSE(inTable(blockWithText(doc, "Vor")));
    EXPECT_FALSE(inTable(blockWithText(doc, "Nach")));
    EXPECT_EQ(blockWithText(doc, "eins").blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_EQ(widths[0], QTextLength(QTextLength::FixedLength, 100));
    EXPECT_EQ(widths[1], QTextLength(QTextLength::FixedLength, 200));
    EXPECT_EQ(widths[2], QTextLength(QTextLength::FixedLength, 100));
    EXPECT_DOUBLE_EQ(table->format().cellPadding(), 5.0);

    const QTextTableCellFormat first = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(first.topBorder(), 2.0);
    EXPECT_EQ(first.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    EXPECT_EQ(first.topBorderBrush().color(), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(first.bottomBorder(), 1.0); // no \brdrw: a hairline
    EXPECT_EQ(first.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    EXPECT_DOUBLE_EQ(first.leftBorder(), 0.0);
    EXPECT_DOUBLE_EQ(table->cellAt(0, 1).format().toTableCellFormat().topBorder(), 0.0);
}

TEST_F(RtfReaderTest, CellAndRowOutsideATableKeepTheTextApart)
{
    EXPECT_EQ(read("{\\rtf1 a\\cell b\\row c}"), (QStringList{"a\tb", "c"}));
    EXPECT_EQ(firstTable(doc), nullptr);
}

TEST_F(RtfReaderTest, TablesStayBoundedAndKeepTheirText)
{
    QByteArray rows;
    for (int i = 0; i <= kMaxTableRows; ++i)
        rows += "\\intbl r\\cell\\row ";
    read("{\\rtf1 " + rows + "}");
    const QList<QTextFrame *> tables = doc.rootFrame()->childFrames();
    ASSERT_EQ(tables.size(), 2) << "the row beyond the limit starts another table";
    EXPECT_EQ(qobject_cast<QTextTable *>(tables[0])->rows(), kMaxTableRows);
    EXPECT_EQ(qobject_cast<QTextTable *>(tables[1])->rows(), 1);

    QByteArray cells;
    for (std::size_t i = 0; i < kMaxTableColumns + 2; ++i)
        cells += "\\intbl c" + QByteArray::number(int(i)) + "\\cell";
    read("{\\rtf1 " + cells + "\\row}");
    const QTextTable *wide = firstTable(doc);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->columns(), int(kMaxTableColumns));
    EXPECT_EQ(cellText(*wide, 0, int(kMaxTableColumns) - 1), QStringLiteral("c62\nc63\nc64"));
}

TEST_F(RtfReaderTest, WordListsBecomeTextListsWithoutTheirMarkerText)
{
    read("{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset2 Symbol;}}{\\*\\listtable{\\list{\\listlevel\\levelnfc23"
         "{\\leveltext\\'01\\'b7;}\\f1\\fi-360\\li720}{\\listlevel\\levelnfc2{\\leveltext\\'02\\'01.;}\\fi-360\\li1440}"
         "\\listid70}{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01o;}}{\\listname Kreise;}\\listid71}}"
         "{\\*\\listoverridetable{\\listoverride\\listid70\\listoverridecount0\\ls1}{\\listoverride\\listid71\\ls2}}\n"
         "\\pard Heute\\par{\\listtext\\f1\\'b7\\tab}\\pard\\ls1\\ilvl0\\fi-360\\li720 Aufschlag\\par"
         "{\\listtext i.\\tab}\\pard\\ls1\\ilvl1\\fi-360\\li1440 Ass\\par"
         "{\\listtext\\f1\\'b7\\tab}\\pard\\ls1\\fi-360\\li720 Netz\\par"
         "{\\listtext o\\tab}\\pard\\ls2\\fi-360\\li720 Kreis\\par\\pard Ende\\par}");
    EXPECT_EQ(blockTexts(doc), (QStringList{"Heute", "Aufschlag", "Ass", "Netz", "Kreis", "Ende"}));
    const QTextBlock serve = blockWithText(doc, "Aufschlag");
    ASSERT_NE(serve.textList(), nullptr);
    EXPECT_EQ(serve.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(serve.textList()->format().indent(), 1);
    EXPECT_DOUBLE_EQ(serve.blockFormat().leftMargin(), 720 / kTwipsPerPixel - doc.indentWidth());
    EXPECT_DOUBLE_EQ(serve.blockFormat().textIndent(), 0.0); // the list hangs the bullet
    EXPECT_EQ(blockWithText(doc, "Netz").textList(), serve.textList()) << "one list, numbered on";

    const QTextList *ace = blockWithText(doc, "Ass").textList();
    ASSERT_NE(ace, nullptr);
    EXPECT_EQ(ace->format().style(), QTextListFormat::ListLowerRoman);
    EXPECT_EQ(ace->format().indent(), 2);
    const QTextList *circle = blockWithText(doc, "Kreis").textList();
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->format().style(), QTextListFormat::ListCircle);
    EXPECT_EQ(blockWithText(doc, "Heute").textList(), nullptr);
    EXPECT_EQ(blockWithText(doc, "Ende").textList(), nullptr);
}

TEST_F(RtfReaderTest, OldStyleNumberingBecomesTextLists)
{
    read("{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset2 Symbol;}}"
         "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720 Punkt\\par"
         "{\\pntext\\f1\\'B7\\tab}Satz\\par"
         "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1\\pndec{\\pntxta.}}\\fi-360\\li360 eins\\par"
         "\\pard Pause\\par"
         "\\pard{\\*\\pn\\pnlvlbody\\pndec}zwei\\par\\pard{\\*\\pn\\pnlvl3\\pnucrm}III\\par}");
    EXPECT_EQ(blockTexts(doc), (QStringList{"Punkt", "Satz", "eins", "Pause", "zwei", "III"}));
    const QTextList *bullets = blockWithText(doc, "Punkt").textList();
    ASSERT_NE(bullets, nullptr);
    EXPECT_EQ(bullets->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(blockWithText(doc, "Satz").textList(), bullets) << "the paragraph after keeps the numbering";
    const QTextList *numbers = blockWithText(doc, "eins").textList();
    ASSERT_NE(numbers, nullptr);
    EXPECT_EQ(numbers->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(blockWithText(doc, "Pause").textList(), nullptr);
    const QTextList *again = blockWithText(doc, "zwei").textList();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, numbers) << "a paragraph outside the numbering ends it";
    const QTextList *roman = blockWithText(doc, "III").textList();
    ASSERT_NE(roman, nullptr);
    EXPECT_EQ(roman->format().style(), QTextListFormat::ListUpperRoman);
    EXPECT_EQ(roman->format().indent(), 3);
}

TEST_F(RtfReaderTest, ParagraphFormattingLastsUntilPard)
{
    EXPECT_EQ(read("{\\rtf1\\pard\\qc A\\par\\pard\\qr\\li1440\\ri720\\fi-360\\sb240\\sa120 B\\par\\qj C\\par"
                   "\\pard D\\line E\\tab F\\par\\par G}"),
              QStringList({"A", "B", "C", QString("D") + QChar::LineSeparator + "E\tF", "", "G"}));
    EXPECT_EQ(blockFormatAt(doc, 0).alignment(), Qt::AlignHCenter);
    const QTextBlockFormat b = blockFormatAt(doc, 1);
    EXPECT_EQ(b.alignment(), Qt::AlignRight);
    EXPECT_DOUBLE_EQ(b.leftMargin(), 96.0);
    EXPECT_DOUBLE_EQ(b.rightMargin(), 48.0);
    EXPECT_DOUBLE_EQ(b.textIndent(), -24.0);
    EXPECT_DOUBLE_EQ(b.topMargin(), 16.0);
    EXPECT_DOUBLE_EQ(b.bottomMargin(), 8.0);
    EXPECT_EQ(blockFormatAt(doc, 2).alignment(), Qt::AlignJustify);
    EXPECT_DOUBLE_EQ(blockFormatAt(doc, 2).leftMargin(), 96.0);
    EXPECT_EQ(blockFormatAt(doc, 3).alignment(), Qt::AlignLeft);
    EXPECT_DOUBLE_EQ(blockFormatAt(doc, 3).leftMargin(), 0.0);
}

TEST_F(RtfReaderTest, EveryParagraphKeepsItsOwnFormatsBeyondTheRememberedOnes)
{
    // More distinct character and paragraph formats than the reader keeps built at once.
    constexpr int kParagraphs = 1500;
    QByteArray rtf = "{\\rtf1\\ansi{\\colortbl;\\red1\\green2\\blue3;}";
    for (int n = 0; n < kParagraphs; ++n)
        rtf += "\\pard\\li" + QByteArray::number(n * 15) + "\\fs" + QByteArray::number(2 + 2 * n)
            + (n % 2 ? "\\cf1" : "\\cf0") + " p" + QByteArray::number(n) + "\\par ";
    read(rtf + "}");
    ASSERT_GE(doc.blockCount(), kParagraphs);
    int wrong = 0;
    for (int n = 0; n < kParagraphs; ++n) {
        const QTextBlock block = doc.findBlockByNumber(n);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::NextCharacter);
        const QTextCharFormat format = cursor.charFormat();
        const bool coloured = format.foreground().style() != Qt::NoBrush;
        wrong += block.text() != "p" + QString::number(n) || block.blockFormat().leftMargin() != n
            || format.fontPointSize() != 1 + n || coloured != (n % 2 == 1);
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(RtfReaderTest, DestinationsSymbolsAndUnknownWords)
{
    EXPECT_EQ(text("{\\*\\unknowndest secret}{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}}"
                   "{\\stylesheet{\\s1 Heading;}}{\\info{\\title t}}{\\header h}{\\footer f}{\\footnote n}"
                   " visible\\somethingunknown42  still{\\*\\shppict  yes}{\\nonshppict no}"),
              "shown visible still yes");
    EXPECT_EQ(text("a\\~b\\-c\\_d\\{\\}\\\\\\emdash\\lquote x\\rquote"),
              QString::fromUtf8("a\u00A0b\u00ADc\u2011d{}\\\u2014\u2018x\u2019"));
    // Control words are letters only; digits are their parameter and one space their end.
    EXPECT_EQ(text("\\b1x\\b0  y"), "x y");
}

TEST_F(RtfReaderTest, PngAndJpegPicturesBecomeImagesOtherFormatsAreSkipped)
{
    const QImage image = twoColourImage(30, 20);
    const QByteArray png = encoded(image, "PNG").toHex();
    read("{\\rtf1 a{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn x}}}\\picscalex50\\picscaley100\\picw30\\pich20"
         "\\picwgoal1500\\pichgoal750\\pngblip\n" + png.left(40) + "\r\n" + png.mid(40) + "}}"
         "{\\nonshppict{\\pict\\wmetafile8\\picw30\\pich20 010009000003}}b"
         "{\\pict\\jpegblip " + encoded(image, "JPEG").toHex() + "}"
         "{\\pict\\wmetafile8\\picw100\\pich100 0100090000037800000000001c00}"
         "{\\pict\\emfblip 0100000000}c{\\pict\\pngblip " + png.left(20) + "}d}");

    const std::vector<QTextImageFormat> images = imagesOf(doc);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_DOUBLE_EQ(images[0].width(), 50.0);  // 1500 twips at 50 %
    EXPECT_DOUBLE_EQ(images[0].height(), 50.0);
    EXPECT_EQ(imageResource(doc, images[0]).pixelColor(25, 10), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(images[1].width(), 30.0);  // no goal: the picture's own pixels
    EXPECT_EQ(imageResource(doc, images[1]).size(), QSize(30, 20));
    EXPECT_EQ(doc.toPlainText(), QString("a") + QChar::ObjectReplacementCharacter + "b"
                                     + QChar::ObjectReplacementCharacter + "cd"); // a cut-off PNG is dropped
}

TEST_F(RtfReaderTest, BinaryDataIsTakenByCountNotParsed)
{
    const QByteArray png = encoded(twoColourImage(4, 4), "PNG");
    read("{\\rtf1 a{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}b"
         "{\\*\\foo\\bin5 }}{{x}c\\bin3 {}\\d}");
    EXPECT_EQ(doc.toPlainText(), QString("a") + QChar::ObjectReplacementCharacter + "bcd");
    ASSERT_EQ(imagesOf(doc).size(), 1u);
    EXPECT_EQ(imageResource(doc, imagesOf(doc)[0]).size(), QSize(4, 4));
}

TEST_F(RtfReaderTest, MalformedInputLoadsWhatItCan)
{
    EXPECT_EQ(read("{\\rtf1 abc{\\b def"), QStringList{"abcdef"});
    EXPECT_EQ(formatOf(doc, "def").fontWeight(), QFont::Bold);
    EXPECT_EQ(read("{\\rtf1 abc}}}} def"), QStringList{"abc"});
    EXPECT_EQ(read("{\\rtf1 abc\\ansicp"), QStringList{"abc"});
    EXPECT_EQ(read("{\\rtf1 abc\\'4"), QStringList{"abc"});
    EXPECT_EQ(read("{\\rtf1 a\\'zzb\\'"), QStringList{"azzb"});
    EXPECT_EQ(read("{\\rtf1 a\\u-"), QStringList{"a-"});
    EXPECT_EQ(read("{\\rtf1 a\\bin999999999 xyz}"), QStringList{"a"});
    EXPECT_EQ(read("{\\rtf1 a\\bin-5 b}"), QStringList{"ab"});
    EXPECT_EQ(read("{\\rtf1 a{\\pict\\pngblip 89504e47zz0d0a1a0a}b}"), QStringList{"ab"});
    EXPECT_EQ(read("{\\rtf1 a\\'00\\'0d\\u8233?\\u-560?b}"), QStringList{"ab"}); // no structure from text

    read("{\\rtf1 \\fs-999999 a\\fs" + QByteArray(10000, '9') + " b\\fs0 c}");
    EXPECT_DOUBLE_EQ(formatOf(doc, "a").fontPointSize(), 12.0);
    EXPECT_DOUBLE_EQ(formatOf(doc, "b").fontPointSize(), 1638.0);
    EXPECT_DOUBLE_EQ(formatOf(doc, "c").fontPointSize(), 1638.0);
    read("{\\rtf1\\li999999999\\fi-999999999 a}");
    EXPECT_DOUBLE_EQ(blockFormatAt(doc, 0).leftMargin(), 31680 / kTwipsPerPixel);
}

TEST_F(RtfReaderTest, DeepNestingAndHugePicturesStayBounded)
{
    const int depth = 100000;
    EXPECT_EQ(read("{\\rtf1 " + QByteArray(depth, '{') + "x" + QByteArray(depth, '}') + " y}"),
              QStringList{"x y"});
    EXPECT_EQ(read("{\\rtf1 a" + QByteArray(depth, '{') + "\\b b"), QStringList{"ab"});
    EXPECT_EQ(read("{\\rtf1 a" + QByteArray(depth, '}') + "b"), QStringList{"a"});

    QByteArray garbage = "{\\rtf1 a{\\pict\\pngblip ";
    garbage += QByteArray(10 * 1024 * 1024, 'f');
    garbage += "}b{\\pict\\wmetafile8 " + QByteArray(10 * 1024 * 1024, '0') + "}c}";
    EXPECT_EQ(read(garbage), QStringList{"abc"});
}

TEST_F(RtfReaderTest, RandomBytesAfterTheHeaderNeverBreakTheReader)
{
    QRandomGenerator random(20240601);
    const QByteArray alphabet = "{}\\'*;? abcfsuxpnglbi0123456789-\r\n\x80\xff";
    for (int round = 0; round < 300; ++round) {
        QByteArray data = "{\\rtf1 ";
        const int length = random.bounded(1, 2000);
        for (int i = 0; i < length; ++i)
            data += alphabet[random.bounded(int(alphabet.size()))];
        ASSERT_TRUE(readRtf(doc, data)) << data.constData();
        // The document must stay consistent enough to lay out.
        doc.setTextWidth(200);
        EXPECT_GE(doc.size().height(), 0.0);
    }
}

TEST_F(RtfReaderTest, NonRtfStaysOutOrLoadsAsPlainText)
{
    readRtf(doc, "{\\rtf1 before}");
    EXPECT_FALSE(readRtf(doc, "Hello {\\rtf1 x}"));
    EXPECT_FALSE(readRtf(doc, "{\\rt"));
    EXPECT_EQ(blockTexts(doc), QStringList{"before"});

    readRtfOrPlainText(doc, "Gr\xc3\xbc\xc3\x9f" "e\nZeile {2}");
    EXPECT_EQ(blockTexts(doc), QStringList({QString::fromUtf8("Grüße"), "Zeile {2}"}));
    readRtfOrPlainText(doc, "Gr\xfc\xdf" "e \x80");
    EXPECT_EQ(blockTexts(doc), QStringList{QString::fromUtf8("Grüße €")});
    readRtfOrPlainText(doc, "\xef\xbb\xbf" "mit BOM");
    EXPECT_EQ(blockTexts(doc), QStringList{"mit BOM"});
    EXPECT_FALSE(doc.isModified());
}

} // namespace
