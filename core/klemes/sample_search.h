// Searches over whole numbers for the first place where a predicate turns
// true; the Klemes curve and step find samples with them.
#pragma once

#include <algorithm>
#include <cstdint>

namespace veldron {

// Smallest x in [lo, hi] with pred(x), or hi + 1; pred must be false...true.
template <typename Pred> std::int64_t firstTrue(std::int64_t lo, std::int64_t hi, Pred pred) {
    std::int64_t end = hi + 1;
    while (lo < end) {
        const std::int64_t mid = lo + (end - lo) / 2;
        if (pred(mid))
            end = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// The same, starting from a guess: steps of 1, 2, 4, ... away from it until
// the answer is bracketed, then a binary search. O(log distance); a good guess
// costs two calls of pred.
template <typename Pred>
std::int64_t firstTrueNear(std::int64_t lo, std::int64_t hi, std::int64_t guess, Pred pred) {
    if (lo > hi) return lo;
    guess = std::clamp(guess, lo, hi);
    if (pred(guess)) { // the answer lies in [lo, guess]
        std::int64_t b = guess;
        for (std::int64_t step = 1;; step *= 2) {
            if (b - lo < step) return firstTrue(lo, b - 1, pred);
            const std::int64_t a = b - step;
            if (!pred(a)) return firstTrue(a + 1, b - 1, pred);
            b = a;
        }
    }
    std::int64_t a = guess; // the answer lies in (guess, hi + 1]
    for (std::int64_t step = 1;; step *= 2) {
        if (hi - a < step) return firstTrue(a + 1, hi, pred);
        const std::int64_t b = a + step;
        if (pred(b)) return firstTrue(a + 1, b - 1, pred);
        a = b;
    }
}

// A guess at a whole number from a real, kept within [lo, hi] (NaN gives lo).
inline std::int64_t clampedGuess(double v, std::int64_t lo, std::int64_t hi) {
    if (!(v >= static_cast<double>(lo))) return lo;
    if (!(v <= static_cast<double>(hi))) return hi;
    return static_cast<std::int64_t>(v);
}

} // namespace veldron
