#include "DemoRandom.h"

quint64 TDemoRandom::Next()
{
    quint64 z = (FState += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int TDemoRandom::Between(int low, int high)
{
    return low + int(Next() % quint64(high - low + 1));
}
