#pragma once
// The random seed that starts every encryption.
#include <functional>

namespace dovrel {

// Tests fix the seed with a source returning 1 to 255; nullptr restores the
// random one.
void setCipherSeedSource(std::function<int()> source);

namespace cipher {
// A new seed from 1 to 255, every value possible, drawn anew on each call.
int drawSeed();
}  // namespace cipher

}  // namespace dovrel
