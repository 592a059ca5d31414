#pragma once
// The URID map every LV2 plug-in and editor of the process shares: each URI gets one
// number for the life of the program, so atoms pass between instances, editors and
// the host unchanged.
//
// Threads: any. Plug-ins map while they are created and now and then from their
// own threads; a short lock guards the table.

#include <lv2/urid/urid.h>

#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vantreel {

class Lv2UridMap {
public:
    Lv2UridMap();
    Lv2UridMap(const Lv2UridMap&) = delete;
    Lv2UridMap& operator=(const Lv2UridMap&) = delete;

    LV2_URID Map(const char* uri);
    // The URI of `urid`, or null for a number never handed out.
    const char* Unmap(LV2_URID urid);

    LV2_URID_Map* MapFeature() { return &mapFeature; }
    LV2_URID_Unmap* UnmapFeature() { return &unmapFeature; }

private:
    std::mutex mutex;
    std::unordered_map<std::string, LV2_URID> numbers;
    std::deque<std::string> uris; // uris[n - 1] is the URI of number n; never moves
    LV2_URID_Map mapFeature;
    LV2_URID_Unmap unmapFeature;
};

// The process-wide map. Any thread.
Lv2UridMap& SharedUridMap();

} // namespace vantreel
