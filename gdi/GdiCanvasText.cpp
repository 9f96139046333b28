// DrawText and the other text output of GdiCanvas.
#include "gdi/GdiCanvas.h"

#include "gdi/MarkedText.h"
#include "gdi/SystemColors.h"
#include "gdi/TextMeasure.h"

#include <QFontMetrics>

#include <algorithm>
#include <vector>

namespace {

// Greedy word wrap: a line breaks at the last space that lets it fit; spaces at a break
// are dropped; a word wider than the line is broken between characters.
void wrapParagraph(const MarkedText &para, int maxWidth, const TextMeasure &measure,
                   std::vector<MarkedText> &lines)
{
    const QString &s = para.text;
    const qsizetype n = s.size();
    qsizetype start = 0;
    while (start < n) {
        // Most lines fit whole: one measurement instead of one per character.
        if (measure.width(QStringView(s).mid(start)) <= maxWidth) {
            lines.push_back(para.mid(start, n));
            return;
        }
        qsizetype end = start;
        while (end < n && measure.width(QStringView(s).mid(start, end + 1 - start)) <= maxWidth)
            ++end;
        if (end == n) {
            lines.push_back(para.mid(start, n));
            return;
        }
        qsizetype lineEnd = -1;
        const qsizetype space = s[end] == u' ' ? end : s.lastIndexOf(u' ', end - 1);
        if (space >= start) {
            lineEnd = space;
            while (lineEnd > start && s[lineEnd - 1] == u' ')
                --lineEnd;
        }
        qsizetype next;
        if (lineEnd > start) {
            next = space;
            while (next < n && s[next] == u' ')
                ++next;
        } else {
            lineEnd = std::max(end, start + 1);
            next = lineEnd;
        }
        lines.push_back(para.mid(start, lineEnd));
        start = next;
    }
}

std::vector<MarkedText> layoutLines(const MarkedText &text, unsigned flags, int maxWidth,
                                    const TextMeasure &measure)
{
    std::vector<MarkedText> lines;
    if (flags & DT_SINGLELINE) {
        MarkedText line;
        for (std::size_t i = 0; i < std::size_t(text.text.size()); ++i) {
            const QChar c = text.text[qsizetype(i)];
            if (c == u'\r' || c == u'\n')
                continue;
            line.text += c;
            line.marked.push_back(text.marked[i]);
        }
        lines.push_back(line);
        return lines;
    }
    const QString &s = text.text;
    qsizetype start = 0;
    while (start < s.size()) {
        qsizetype end = start;
        while (end < s.size() && s[end] != u'\r' && s[end] != u'\n')
            ++end;
        const MarkedText para = text.mid(start, end);
        if ((flags & DT_WORDBREAK) && !para.text.isEmpty())
            wrapParagraph(para, maxWidth, measure, lines);
        else
            lines.push_back(para);
        if (end < s.size() && s[end] == u'\r' && end + 1 < s.size() && s[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

} // namespace

int GdiCanvas::textWidth(const QString &text) const
{
    return QFontMetrics(font_).horizontalAdvance(text);
}

int GdiCanvas::textHeight() const
{
    return QFontMetrics(font_).height();
}

void GdiCanvas::drawTextLine(const QString &line, int underline, int x, int y, bool expandTabs)
{
    const TextMeasure measure(font_, expandTabs);
    const int baseline = y + measure.metrics().ascent();
    painter_->setFont(font_);
    painter_->setPen(toQColor(fontColor_));
    if (!expandTabs || !line.contains(u'\t')) {
        painter_->drawText(QPoint(x, baseline), line);
    } else {
        qsizetype from = 0;
        while (from <= line.size()) {
            qsizetype tab = line.indexOf(u'\t', from);
            if (tab < 0)
                tab = line.size();
            const int segX = x + measure.width(QStringView(line).left(from));
            painter_->drawText(QPoint(segX, baseline), line.mid(from, tab - from));
            from = tab + 1;
        }
    }
    if (underline >= 0) {
        // As GDI does it: under the marked character, one pixel below the baseline.
        const int x0 = x + measure.width(QStringView(line).left(underline));
        const int x1 = x + measure.width(QStringView(line).left(underline + 1)) - 1;
        fillSpan(x0, x1, baseline + 1, fontColor_);
    }
}

int GdiCanvas::drawText(const QString &text, GdiRect &rect, unsigned flags)
{
    const bool expandTabs = flags & DT_EXPANDTABS;
    const TextMeasure measure(font_, expandTabs);
    const int lineHeight = measure.metrics().height();
    const MarkedText shown = stripPrefixes(text, !(flags & DT_NOPREFIX));

    std::vector<MarkedText> lines;
    if (!shown.text.isEmpty() || (flags & DT_SINGLELINE))
        lines = layoutLines(shown, flags, rect.width(), measure);

    int widest = 0;
    std::vector<int> widths;
    for (const MarkedText &line : lines) {
        widths.push_back(measure.width(line.text));
        widest = std::max(widest, widths.back());
    }
    const int textHeight = int(lines.size()) * lineHeight;

    if (flags & DT_CALCRECT) {
        rect.right = rect.left + widest;
        rect.bottom = rect.top + textHeight;
        return textHeight;
    }

    int y = rect.top;
    const bool single = flags & DT_SINGLELINE;
    if (single && (flags & DT_VCENTER))
        y = rect.top + (rect.height() - lineHeight) / 2;
    else if (single && (flags & DT_BOTTOM))
        y = rect.bottom - lineHeight;

    const bool clip = !(flags & DT_NOCLIP);
    if (clip) {
        painter_->save();
        painter_->setClipRect(rect.toQRect(), Qt::IntersectClip);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int w = widths[i];
        int x = rect.left;
        if (flags & DT_CENTER)
            x = (rect.left + rect.right - w) / 2;
        else if (flags & DT_RIGHT)
            x = rect.right - w;
        if (brushStyle_ == BrushStyle::Solid)
            painter_->fillRect(QRect(x, y, w, lineHeight), toQColor(brushColor_));
        drawTextLine(lines[i].text, lines[i].underline(), x, y, expandTabs);
        y += lineHeight;
    }
    if (clip)
        painter_->restore();
    if (single && (flags & (DT_VCENTER | DT_BOTTOM)))
        return y - rect.top;
    return textHeight;
}

void GdiCanvas::textOut(int x, int y, const QString &text)
{
    if (brushStyle_ == BrushStyle::Solid)
        painter_->fillRect(QRect(x, y, textWidth(text), textHeight()), toQColor(brushColor_));
    drawTextLine(text, -1, x, y, false);
}

void GdiCanvas::textRect(const GdiRect &clip, int x, int y, const QString &text)
{
    painter_->save();
    painter_->setClipRect(clip.toQRect(), Qt::IntersectClip);
    fillRect(clip);
    drawTextLine(text, -1, x, y, false);
    painter_->restore();
}
