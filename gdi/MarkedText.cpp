#include "gdi/MarkedText.h"

MarkedText stripPrefixes(const QString &text, bool prefixes)
{
    MarkedText out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        bool mark = false;
        if (prefixes && c == u'&') {
            if (i + 1 >= text.size())
                break; // a trailing "&" marks nothing and is not shown
            ++i;
            mark = text[i] != u'&';
        }
        out.text += text[i];
        out.marked.push_back(mark);
    }
    return out;
}
