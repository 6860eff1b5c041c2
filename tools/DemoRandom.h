#pragma once

#include <QtGlobal>
#include <cstddef>

// A small deterministic generator (SplitMix64): the same seed gives the same
// numbers on every platform and library, unlike the standard distributions.
class TDemoRandom
{
public:
    explicit TDemoRandom(quint64 seed) : FState(seed) {}

    quint64 Next();
    // A number in [low, high].
    int Between(int low, int high);
    bool Chance(int percent) { return Between(1, 100) <= percent; }
    template <typename T, std::size_t N> const T& Pick(const T (&items)[N])
    {
        return items[Between(0, int(N) - 1)];
    }

private:
    quint64 FState;
};
