#pragma once
// Fields that other threads read or write without the engine lock are atomics of
// their stored width; this is the one name for them.

#include <atomic>

namespace vantreel {

template <typename T> using Shared = std::atomic<T>;

} // namespace vantreel
