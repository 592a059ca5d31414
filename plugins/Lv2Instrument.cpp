#include "plugins/Lv2Instrument.h"

#include "plugins/Lv2Adapter.h"

#include <thread>

namespace vantreel {

Lv2CreateResult CreateLv2Instrument(const std::string& uri, int sampleRate,
                                    audioMasterCallback host) {
    return Lv2Adapter::Create(uri, sampleRate, host);
}

bool IsLv2Instrument(const AEffect* effect) {
    return Lv2Adapter::From(effect) != nullptr;
}

void FreeLv2Instrument(AEffect* effect) {
    Lv2Adapter* adapter = Lv2Adapter::From(effect);
    if (adapter == nullptr) {
        return;
    }
    const auto oldEnough =
        adapter->CreatedAt() + std::chrono::milliseconds(kLv2MinimumLifetimeMilliseconds);
    std::this_thread::sleep_until(oldEnough);
    delete adapter;
}

std::string Lv2InstrumentName(const AEffect* effect) {
    const Lv2Adapter* adapter = Lv2Adapter::From(effect);
    return adapter != nullptr ? adapter->Name() : std::string();
}

std::string Lv2EditorProblem(const AEffect* effect) {
    const Lv2Adapter* adapter = Lv2Adapter::From(effect);
    return adapter != nullptr ? adapter->EditorProblem() : std::string();
}

std::vector<std::string> TakeLv2StateNotes(AEffect* effect) {
    Lv2Adapter* adapter = Lv2Adapter::From(effect);
    return adapter != nullptr ? adapter->TakeStateNotes() : std::vector<std::string>();
}

} // namespace vantreel
