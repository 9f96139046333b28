#include "controls/rrColors.h"

#include "gdi/SystemColors.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Tolerance of every test against zero in RGB2HLS.
constexpr long double kEpsilon = 1e-8L;

// Corners of the hue hexagon in bipolar form (2 x intensity - 1), in hue order.
constexpr double kHueVertex[6][3] = {
    {+1, -1, -1}, // red
    {+1, +1, -1}, // yellow
    {-1, +1, -1}, // green
    {-1, +1, +1}, // cyan
    {-1, -1, +1}, // blue
    {+1, -1, +1}, // magenta
};

void requireUnitRange(const char *routine, const ColorTriple &v, const char *const names[3])
{
    for (int c = 0; c < 3; ++c)
        if (!(v[c] >= 0.0 && v[c] <= 1.0)) // NaN fails too
            throw EColorConv(std::string(routine) + ": 0 <= " + names[c] + " value <= 1 required");
}

double clampUnit(double v)
{
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

bool beyondEpsilon(double v)
{
    return std::fabs(static_cast<long double>(v)) > kEpsilon;
}

// Hue of a hexagon-edge point w whose channel e is at -1.
double HueFromSector(const ColorTriple &w, int e)
{
    double h = 0;
    switch (e) {
    case 0: h = w[1] > w[2] ? 2 + (w[2] + 1) / 2 : 4 - (w[1] + 1) / 2; break;
    case 1: h = w[2] > w[0] ? 4 + (w[0] + 1) / 2 : 6 - (w[2] + 1) / 2; break;
    case 2: h = w[0] > w[1] ? (w[1] + 1) / 2 : 2 - (w[0] + 1) / 2; break;
    default: break;
    }
    return h / 6;
}

// The first of the three channel-pair quotients whose test difference is not zero.
template <typename Diff, typename Value>
double firstPair(Diff diff, Value value, double otherwise)
{
    static constexpr int kPairs[3][2] = {{0, 1}, {1, 2}, {0, 2}};
    for (const auto &pair : kPairs)
        if (beyondEpsilon(diff(pair[0], pair[1])))
            return value(pair[0], pair[1]);
    return otherwise;
}

// Nearest integer, halves to even (the default rounding mode), taken modulo 256.
std::uint8_t nearestByte(double v)
{
    if (!std::isfinite(v))
        return 0;
    double r = std::fmod(std::nearbyint(v), 256.0);
    if (r < 0)
        r += 256.0;
    return static_cast<std::uint8_t>(r);
}

} // namespace

void HLS2RGB(const ColorTriple &hls, ColorTriple &rgb)
{
    static const char *const kNames[3] = {"Hue", "Luminance", "Saturation"};
    requireUnitRange("HLS2RGB", hls, kNames);
    const auto [h, l, s] = hls;

    const int k = static_cast<int>(h * 6) % 6; // hue 1 is sector 0 again
    const int k2 = (k + 1) % 6;
    const double f = h * 6 - std::trunc(h * 6);
    for (int c = 0; c < 3; ++c) {
        double v = (kHueVertex[k2][c] - kHueVertex[k][c]) * f + kHueVertex[k][c];
        v *= s;
        const double out = l > 0.5 ? (1 - l) * v + l : (v + 1) * l;
        rgb[c] = clampUnit(out);
    }
}

void RGB2HLS(const ColorTriple &rgb, ColorTriple &hls)
{
    static const char *const kNames[3] = {"Red", "Green", "Blue"};
    requireUnitRange("RGB2HLS", rgb, kNames);

    ColorTriple a;
    for (int c = 0; c < 3; ++c)
        a[c] = 2 * rgb[c] - 1;

    double m = 0;
    int e = 0;
    for (int c = 0; c < 3; ++c)
        if (std::fabs(a[c]) > m) {
            m = std::fabs(a[c]);
            e = c;
        }
    if (m < kEpsilon) {
        hls = {0, 0.5, 0};
        return;
    }

    ColorTriple u;
    for (int c = 0; c < 3; ++c)
        u[c] = a[c] * (1 / m);

    ColorTriple w;
    double h;
    double l;
    double s;
    if (a[e] <= 0) {
        double n = 0;
        for (int c = 0; c < 3; ++c)
            n = std::max(n, u[c] + 1);
        if (n < kEpsilon) { // a grey darker than mid-grey
            hls = {0, rgb[0], 0};
            return;
        }
        for (int c = 0; c < 3; ++c)
            w[c] = (u[c] + 1) * (2 / n) - 1;
        h = HueFromSector(w, e);
        s = firstPair([&](int i, int j) { return a[j] - a[i]; },
                      [&](int i, int j) { return (a[j] - a[i]) / ((a[i] + 1) * w[j] - (a[j] + 1) * w[i]); }, 0);
        l = 0.5 * firstPair([&](int i, int j) { return w[j] - w[i]; },
                            [&](int i, int j) { return ((a[i] + 1) * w[j] - (a[j] + 1) * w[i]) / (w[j] - w[i]); },
                            a[0] + 1);
    } else {
        double n = 0;
        for (int c = 0; c < 3; ++c)
            n = std::max(n, 1 - u[c]);
        if (n < kEpsilon) { // a grey lighter than mid-grey
            hls = {0, rgb[0], 0};
            return;
        }
        for (int c = 0; c < 3; ++c)
            w[c] = (u[c] - 1) * (2 / n) + 1;
        double lowest = 1.0;
        for (int c = 0; c < 3; ++c)
            if (w[c] < lowest) {
                lowest = w[c];
                e = c;
            }
        h = HueFromSector(w, e);
        s = firstPair([&](int i, int j) { return a[j] - a[i]; },
                      [&](int i, int j) { return (a[j] - a[i]) / ((a[j] - 1) * w[i] - (a[i] - 1) * w[j]); }, 0);
        l = 0.5 * firstPair([&](int i, int j) { return w[j] - w[i]; },
                            [&](int i, int j) { return ((a[i] - 1) * w[j] - (a[j] - 1) * w[i]) / (w[j] - w[i]); },
                            a[0] - 1) +
            1;
    }
    hls = {clampUnit(h), clampUnit(l), clampUnit(s)};
}

void ShadeColor(TColor color, float lightFactor, float darkFactor, TColor &light, TColor &dark)
{
    const TColor rgb = colorToRGB(color);
    const int channels[3] = {redOf(rgb), greenOf(rgb), blueOf(rgb)};

    std::uint8_t lit[3];
    for (int c = 0; c < 3; ++c)
        lit[c] = static_cast<std::uint8_t>(255 - nearestByte((256 - channels[c]) * double(lightFactor)));
    light = RGB(lit[0], lit[1], lit[2]);

    ColorTriple hls;
    RGB2HLS({channels[0] / 255.0, channels[1] / 255.0, channels[2] / 255.0}, hls);
    hls[1] *= double(darkFactor);
    ColorTriple shaded;
    HLS2RGB(hls, shaded);
    dark = RGB(nearestByte(shaded[0] * 255), nearestByte(shaded[1] * 255), nearestByte(shaded[2] * 255));
}
