#include "saver/transition_steps.h"

#include <cmath>
#include <cstdint>

#include "common/numbers.h"

namespace vistrel::saver {
namespace {

// A counting loop "for v = first to bound": the bound is computed once, and
// a fractional bound runs to the largest whole number not above it.
template <typename Step>
void countTo(double bound, Step step) {
    for (double v = 1; v <= bound; ++v) step();
}

}  // namespace

std::vector<StepRect> transitionSteps(int code, int width, int height) {
    const double w = width;
    const double h = height;
    std::vector<StepRect> steps;
    switch (code) {
        case kLeftWipe: {
            for (int v = 1; v <= width; ++v) steps.push_back({0, 0, double(v), h});
            break;
        }
        case kRightWipe: {
            for (int v = 1; v <= width; ++v) steps.push_back({w - v, 0, double(v), h});
            break;
        }
        case kRightAndLeftWipe: {
            double column = 1;
            const double fullHeight = roundHalfEven(h);
            countTo(w / 2, [&] {
                steps.push_back({(w - column) / 2, 0, column, fullHeight});
                column += 2;
            });
            break;
        }
        case kUpAndDownWipe: {
            std::int16_t band = 1;
            countTo(h / 2, [&] {
                steps.push_back({0, (h - band) / 2, w, double(band)});
                band = static_cast<std::int16_t>(band + 2);
            });
            break;
        }
        case kCenterWipe: {
            // A thin rectangle with the image's excess length, growing by one
            // pixel in each dimension per step.
            double boxWidth = 1;
            std::int16_t boxHeight = 1;
            if (width > height) {
                boxWidth = w - h;
            } else if (width < height) {
                boxHeight = static_cast<std::int16_t>(height - width);
            }
            countTo(w - boxWidth, [&] {
                steps.push_back({std::floor((w - boxWidth) / 2), std::floor((h - boxHeight) / 2), boxWidth,
                                 double(boxHeight)});
                boxWidth += 1;
                boxHeight = static_cast<std::int16_t>(boxHeight + 1);
            });
            break;
        }
        case kHorizontalBlinds: {
            const int bands = height / kBlindPitch;  // truncated
            for (int pass = 1; pass <= kBlindPitch; ++pass) {
                for (int k = 0; k <= bands; ++k) steps.push_back({0, double(k * kBlindPitch), w, double(pass)});
            }
            break;
        }
        case kVerticalBlinds: {
            const double bands = w / kBlindPitch;  // not truncated: the loop runs to its whole part
            for (int pass = 1; pass <= kBlindPitch; ++pass) {
                for (int k = 0; k <= bands; ++k) steps.push_back({double(k * kBlindPitch), 0, double(pass), h});
            }
            break;
        }
        default:
            break;
    }
    return steps;
}

int transitionCodeOf(std::string_view effectMode) {
    const double value = numericValue(effectMode);
    for (int code = kStandard; code <= kCrossfade; ++code) {
        if (value == code) return code;
    }
    return -1;
}

int randomTransitionCode(float r) {
    // In double, so that r just below 1 can never round up to 9.
    return static_cast<int>(std::floor(static_cast<double>(r) * int{kCrossfade} + 1));
}

}  // namespace vistrel::saver
