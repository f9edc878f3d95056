// The program's one pseudo-random generator: uniform single-precision values
// in [0, 1), reseeded from the clock before random draws.
#pragma once

#include <cstdint>

namespace vistrel {

class RandomSource {
public:
    // Mixes a clock reading into the state. Reseeding twice with the same
    // reading (two draws within one tick of the clock) does not restart the
    // sequence: the draws that follow still differ.
    void reseed(double clockReading);
    // The next value, uniform in [0, 1), with 24 bits of precision.
    float next();
    // A whole number in [0, n), as good as uniform for any n a 32-bit count
    // holds (next()'s 24 bits would favour some numbers of a large n).
    std::uint32_t below(std::uint32_t n);

private:
    std::uint64_t advance();
    std::uint64_t state_ = 0x5DEECE66DULL;  // a fixed start, as the runtime's generator has
};

}  // namespace vistrel
