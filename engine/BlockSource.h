#pragma once
// What the device feed pulls from: the engine's blocks, behind the engine lock.

#include <chrono>
#include <cstdint>

namespace vantreel {

class BlockSource {
public:
    // Audio thread: takes the lock within `wait`; false when it could not.
    virtual bool TryLockFor(std::chrono::microseconds wait) = 0;
    // Audio thread, after a TryLockFor that succeeded.
    virtual void Unlock() = 0;
    // Audio thread, lock held: the next block, kBlockFrames interleaved stereo frames.
    virtual void RenderOutputBlock(int16_t* frames) = 0;

protected:
    ~BlockSource() = default;
};

} // namespace vantreel
