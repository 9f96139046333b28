#pragma once

#include <cstdint>
#include <initializer_list>

// The colour groups a colour picker can list.
enum ToColor : std::uint8_t { clrPure, clrCtrl, clrUser };

// A set of ToColor in one byte: bit 0 clrPure, bit 1 clrCtrl, bit 2 clrUser.
class ToColorSet
{
public:
    constexpr ToColorSet() = default;
    constexpr ToColorSet(std::initializer_list<ToColor> colors)
    {
        for (ToColor c : colors)
            bits_ = std::uint8_t(bits_ | (1u << c));
    }

    constexpr bool contains(ToColor c) const { return (bits_ >> c) & 1u; }
    constexpr bool isEmpty() const { return bits_ == 0; }
    constexpr std::uint8_t bits() const { return bits_; }

    friend constexpr bool operator==(ToColorSet, ToColorSet) = default;

private:
    std::uint8_t bits_ = 0;
};
