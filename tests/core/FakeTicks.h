#pragma once

#include "platform/TickCounter.h"

// A tick counter the test moves by hand.
class FakeTicks final : public TickSource
{
public:
    explicit FakeTicks(std::uint32_t start = 1000) : value(start) {}
    std::uint32_t now() const override { return value; }
    void advance(std::uint32_t ms) { value += ms; }

    std::uint32_t value;
};
