#include "cipher/cipher_seed.h"

#include <chrono>
#include <cmath>
#include <random>

namespace dovrel {
namespace {

std::function<int()>& seedSource() {
    static std::function<int()> source;
    return source;
}

// Reseeded on every draw from the clock and the system's entropy, so two
// encryptions within one clock tick still differ. The draw itself keeps the
// program's rule: r in [0, 1), r × 10000 rounded half to even, modulo 255,
// plus 1.
int randomSeed() {
    std::random_device entropy;
    const auto ticks = static_cast<unsigned>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq sequence{ticks, entropy(), entropy()};
    std::mt19937 generator(sequence);
    const double r = std::uniform_real_distribution<double>(0.0, 1.0)(generator);
    const auto scaled = static_cast<long>(std::nearbyint(r * 10000.0));  // default rounding: half to even
    return static_cast<int>(scaled % 255) + 1;
}

}  // namespace

void setCipherSeedSource(std::function<int()> source) { seedSource() = std::move(source); }

namespace cipher {

int drawSeed() {
    if (!seedSource()) return randomSeed();
    // Keep a test source's value inside 1..255 so the seed stays two digits.
    const long long value = seedSource()();
    return static_cast<int>(((value - 1) % 255 + 255) % 255 + 1);
}

}  // namespace cipher
}  // namespace dovrel
