#pragma once
// The song position plug-ins read through audioMasterGetTime. The audio thread
// publishes one record per block; any thread may read it while that happens and gets
// a whole record, never half of two. The record is held as words of atomics behind a
// sequence number (a sequence lock), so a reader never blocks the writer and the
// writer never allocates or waits.

#include "plugins/VstAbi.h"

#include <atomic>
#include <cstdint>

namespace vantreel {

class TransportRecord {
public:
    TransportRecord();

    // The one writer, the audio thread (or a thread holding the engine lock while no
    // stream runs): the record for the block about to be processed.
    void Publish(const VstTimeInfo& info);
    // Any thread: a copy of the last record published.
    VstTimeInfo Read() const;

private:
    static constexpr int kWords = sizeof(VstTimeInfo) / sizeof(uint64_t);
    static_assert(sizeof(VstTimeInfo) % sizeof(uint64_t) == 0);

    std::atomic<uint32_t> sequence{0}; // odd while a record is being written
    std::atomic<uint64_t> words[kWords];
};

} // namespace vantreel
