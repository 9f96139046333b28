#pragma once

#include <QString>

#include <vector>

// A piece of text with, per character, whether an "&" marked it.
struct MarkedText
{
    QString text;
    std::vector<bool> marked;

    MarkedText mid(qsizetype from, qsizetype to) const
    {
        MarkedText part;
        part.text = text.mid(from, to - from);
        part.marked.assign(marked.begin() + from, marked.begin() + to);
        return part;
    }
    // GDI underlines only the last marked character of a line.
    int underline() const
    {
        for (qsizetype i = qsizetype(marked.size()) - 1; i >= 0; --i)
            if (marked[std::size_t(i)])
                return int(i);
        return -1;
    }
};

// `text` with its "&" prefixes taken out and the characters they mark flagged; without
// `prefixes` the text as it is, nothing marked.
MarkedText stripPrefixes(const QString &text, bool prefixes);
