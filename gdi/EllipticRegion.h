#pragma once

#include <utility>
#include <vector>

// The pixels of the ellipse inscribed in the box (left, top, right, bottom), right and
// bottom exclusive, as CreateEllipticRgn gives them: a pixel belongs to the region when
// its centre lies inside or on the ellipse that touches the box edges. The test is done
// in exact integer arithmetic, so the shape is symmetric in both axes.
// GdiCanvas fills and outlines its ellipses with the same pixels, so a hit test agrees
// with what is drawn.
class EllipticRegion
{
public:
    EllipticRegion(int left, int top, int right, int bottom);

    bool contains(int x, int y) const;
    bool isEmpty() const { return rows_.empty(); }

    int top() const { return top_; }
    int bottom() const { return top_ + int(rows_.size()); }

    // Columns [first, second) of row y; an empty span (first == second) outside the region.
    std::pair<int, int> span(int y) const;

private:
    int top_ = 0;
    std::vector<std::pair<int, int>> rows_;
};
