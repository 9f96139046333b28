#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QStringView>

#include <algorithm>

// Text widths in one font as DrawText lays them out, tabs expanded or not.
class TextMeasure
{
public:
    TextMeasure(const QFont &font, bool expandTabs)
        : metrics_(font), expandTabs_(expandTabs),
          tabWidth_(kTabChars * std::max(1, metrics_.averageCharWidth()))
    {
    }

    // Width of `text` drawn from a line start, tabs expanded to the next stop.
    int width(QStringView text) const
    {
        if (!expandTabs_)
            return metrics_.horizontalAdvance(text.toString());
        int x = 0;
        qsizetype from = 0;
        while (true) {
            const qsizetype tab = text.indexOf(u'\t', from);
            x += metrics_.horizontalAdvance(text.mid(from, (tab < 0 ? text.size() : tab) - from).toString());
            if (tab < 0)
                return x;
            x = (x / tabWidth_ + 1) * tabWidth_;
            from = tab + 1;
        }
    }
    int tabWidth() const { return tabWidth_; }
    const QFontMetrics &metrics() const { return metrics_; }

private:
    static constexpr int kTabChars = 8; // GDI's default tab stop: eight average characters

    QFontMetrics metrics_;
    bool expandTabs_;
    int tabWidth_;
};

