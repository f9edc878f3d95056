#include "common/random_source.h"

#include <bit>

namespace vistrel {
namespace {

// The output function of SplitMix64: a bijection that spreads every bit of
// its input over the whole word.
std::uint64_t mixBits(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

std::uint64_t RandomSource::advance() {
    state_ += 0x9E3779B97F4A7C15ULL;
    return mixBits(state_);
}

void RandomSource::reseed(double clockReading) {
    // Folded into the state, not put in its place: the state already holds
    // every earlier draw, so an unchanged reading moves on from there.
    state_ ^= mixBits(std::bit_cast<std::uint64_t>(clockReading));
    advance();
}

float RandomSource::next() {
    constexpr float kScale = 1.0f / 16777216.0f;  // 2^-24: every value is exact in a float
    return static_cast<float>(advance() >> 40) * kScale;
}

std::uint32_t RandomSource::below(std::uint32_t n) {
    const std::uint64_t bits = advance() >> 32;
    return static_cast<std::uint32_t>((bits * n) >> 32);
}

}  // namespace vistrel
