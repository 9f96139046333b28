#pragma once

#include <cstdint>

// Milliseconds since system start, wrapping at 2^32 like the Windows tick count.
// Callers compute intervals as unsigned 32-bit differences, which stay right across a wrap.
class TickSource
{
public:
    virtual ~TickSource() = default;
    virtual std::uint32_t now() const = 0;
};

class SystemTickSource final : public TickSource
{
public:
    std::uint32_t now() const override;
};
