#include "song/Arrangement.h"

namespace vantreel {

void Arrangement::Clear() {
    for (auto& e : entries) {
        e.store(kPatternCodeEmpty, std::memory_order_relaxed);
    }
}

} // namespace vantreel
