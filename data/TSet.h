#pragma once

#include <cstdint>
#include <initializer_list>

// A set over an enumeration with at most 64 members, bit n for ordinal n:
// what the stored forms write as a bracketed list of member names.
template <typename E>
class TSet
{
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> members)
    {
        for (E m : members)
            FBits |= Bit(m);
    }

    constexpr bool Contains(E m) const { return (FBits & Bit(m)) != 0; }
    constexpr TSet& Include(E m) { FBits |= Bit(m); return *this; }
    constexpr TSet& Exclude(E m) { FBits &= ~Bit(m); return *this; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr std::uint64_t Bits() const { return FBits; }
    static constexpr TSet FromBits(std::uint64_t bits) { TSet s; s.FBits = bits; return s; }

    constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
    constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
    constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint64_t Bit(E m) { return std::uint64_t(1) << static_cast<int>(m); }
    std::uint64_t FBits = 0;
};
