#pragma once

#include "gdi/Colors.h"

#include <array>
#include <stdexcept>

// Conversion between RGB and HLS (hue, luminance, saturation), every component a double
// in [0, 1]; hue 0 and 1 are both red.
using ColorTriple = std::array<double, 3>;

// Raised for a component outside [0, 1] (NaN included); the output is then untouched.
class EColorConv : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

void HLS2RGB(const ColorTriple &hls, ColorTriple &rgb);
void RGB2HLS(const ColorTriple &rgb, ColorTriple &hls);

// A lighter and a darker companion of `color`: each channel of `light` moves towards
// white, keeping `lightFactor` of its distance to 256; `dark` keeps `darkFactor` of the
// luminance. System colours count with their RGB value.
void ShadeColor(TColor color, float lightFactor, float darkFactor, TColor &light, TColor &dark);
