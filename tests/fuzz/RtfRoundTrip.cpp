#include "tests/fuzz/RtfRoundTrip.h"

#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace {

// The text a title file keeps: no controls or Qt's structure markers, and a surrogate
// without its other half (which only broken plain text brings) saved as U+FFFD.
QString asSaved(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    text.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != '\t' && u != '\n') || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1;
    });
    return text;
}

// One line per block: where it sits (table cell, list), its alignment, and its text in
// runs of equal character formatting; with fonts, the family and size count as well.
QString summary(const QTextDocument &doc, bool withFonts)
{
    QString out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextCursor at(block);
        if (const QTextTable *table = at.currentTable()) {
            const QTextTableCell cell = table->cellAt(block.position());
            out += QStringLiteral("[cell %1,%2 of %3x%4]")
                       .arg(cell.row()).arg(cell.column()).arg(table->rows()).arg(table->columns());
        }
        if (const QTextList *list = block.textList())
            out += QStringLiteral("[list %1 level %2]").arg(int(list->format().style())).arg(list->format().indent());
        out += QStringLiteral("[align %1]").arg(int(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask));
        QString key;
        QString run;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            QString next = QStringLiteral("%1%2%3%4")
                               .arg(f.fontWeight() >= QFont::DemiBold ? u'b' : u'-')
                               .arg(f.fontItalic() ? u'i' : u'-')
                               .arg(f.fontUnderline() ? u'u' : u'-')
                               .arg(f.fontStrikeOut() ? u's' : u'-');
            if (withFonts)
                next += u'|' + f.fontFamilies().toStringList().join(u',') + u'|' + QString::number(f.fontPointSize());
            if (next != key && !run.isEmpty()) {
                out += u'{' + key + u'|' + run + u'}';
                run.clear();
            }
            key = next;
            run += asSaved(fragment.text());
        }
        if (!run.isEmpty())
            out += u'{' + key + u'|' + run + u'}';
        out += u'\n';
    }
    return out;
}

} // namespace

QString rtfRoundTripFault(const QByteArray &input)
{
    QTextDocument doc;
    readRtfOrPlainText(doc, input);
    doc.setTextWidth(300);
    (void)doc.size();

    const QByteArray written = writeRtf(doc);
    QTextDocument again;
    if (!readRtf(again, written))
        return QStringLiteral("the written file does not read as RTF");
    if (again.toPlainText() != asSaved(doc.toPlainText()))
        return QStringLiteral("text differs after writing:\n%1\n---\n%2").arg(doc.toPlainText(), again.toPlainText());
    if (summary(doc, false) != summary(again, false))
        return QStringLiteral("structure or formatting differs after writing:\n%1---\n%2")
            .arg(summary(doc, false), summary(again, false));
    // Fonts the document left to its default are written out; from then on they must stay.
    QTextDocument third;
    readRtf(third, writeRtf(again));
    if (summary(third, true) != summary(again, true))
        return QStringLiteral("fonts differ after a second save:\n%1---\n%2")
            .arg(summary(again, true), summary(third, true));
    return QString();
}
