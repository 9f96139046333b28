#include "gdi/EllipticRegion.h"

#include <cmath>
#include <cstdint>

EllipticRegion::EllipticRegion(int left, int top, int right, int bottom)
    : top_(top)
{
    const std::int64_t w = right - left;
    const std::int64_t h = bottom - top;
    if (w <= 0 || h <= 0)
        return;

    // Doubled coordinates keep pixel centres (x + 0.5) integral: the centre of the box is
    // at left + right, pixel x at 2x + 1. A pixel is inside when
    // X^2 h^2 + Y^2 w^2 <= w^2 h^2 with X = 2x + 1 - (left + right), Y likewise.
    const std::int64_t w2 = w * w;
    const std::int64_t h2 = h * h;
    const auto inside = [&](std::int64_t X, std::int64_t Y) { return X * X * h2 + Y * Y * w2 <= w2 * h2; };

    rows_.reserve(std::size_t(h));
    for (int y = top; y < bottom; ++y) {
        const std::int64_t Y = 2 * std::int64_t(y) + 1 - (top + bottom);
        // Start from the floating estimate of the left edge and correct it exactly.
        const double q = 1.0 - double(Y * Y) / double(h2);
        const double half = q > 0 ? double(w) * std::sqrt(q) : 0.0;
        int x = int(std::floor((double(left + right) - half - 1.0) / 2.0));
        if (x < left)
            x = left;
        const int mid = int((std::int64_t(left) + right) / 2);
        while (x > left && inside(2 * std::int64_t(x - 1) + 1 - (left + right), Y))
            --x;
        while (x <= mid && !inside(2 * std::int64_t(x) + 1 - (left + right), Y))
            ++x;
        if (x > mid || !inside(2 * std::int64_t(x) + 1 - (left + right), Y)) {
            rows_.emplace_back(0, 0);
            continue;
        }
        // Mirror image of the left edge about the box centre.
        const int end = left + right - x;
        rows_.emplace_back(x, end);
    }
    // Trim empty rows at both ends so that top()/bottom() bound the pixels.
    while (!rows_.empty() && rows_.back().first == rows_.back().second)
        rows_.pop_back();
    std::size_t skip = 0;
    while (skip < rows_.size() && rows_[skip].first == rows_[skip].second)
        ++skip;
    rows_.erase(rows_.begin(), rows_.begin() + std::ptrdiff_t(skip));
    top_ += int(skip);
}

std::pair<int, int> EllipticRegion::span(int y) const
{
    if (y < top_ || y >= bottom())
        return {0, 0};
    return rows_[std::size_t(y - top_)];
}

bool EllipticRegion::contains(int x, int y) const
{
    const auto [first, last] = span(y);
    return x >= first && x < last;
}
