// Loading project files: the song's fixed layout, each plug-in's record checked
// against the file and the plug-in before anything reaches it, and the extension at
// the end that says how long each record is (see docs/file-format.md).

#include "engine/AudioEngine.h"
#include "engine/PluginCommands.h"
#include "engine/ProjectTexts.h"
#include "engine/SlotRecord.h"
#include "plugins/Lv2Instrument.h"
#include "plugins/Lv2Name.h"
#include "plugins/PluginCalls.h"
#include "song/FileReader.h"
#include "song/ProjectCheck.h"
#include "song/ProjectExtension.h"
#include "song/ProjectLayout.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace vantreel {

namespace {

// Values outside 0..1 (or not numbers at all) only come from damaged files, and a
// plug-in may index tables with them.
float UsableParameter(float value, bool& changed) {
    if (!(value >= 0.0f && value <= 1.0f)) {
        changed = true;
        return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
    }
    return value;
}

// The name a record asks for: its 64-byte field, or the whole name the extension
// keeps when the field holds only its start.
std::string StoredName(const char* field, const ExtensionSlot* slot) {
    if (slot != nullptr && !slot->longName.empty() &&
        slot->longName.compare(0, std::strlen(field), field) == 0) {
        return slot->longName;
    }
    return field;
}

// What a plug-in record holds once read, before anything is handed to the plug-in.
struct PluginState {
    int32_t program = 0;
    std::vector<float> values; // program-major
    std::vector<uint8_t> chunk;
    bool hasChunk = false;
};

class ProjectLoader {
public:
    explicit ProjectLoader(AudioEngine& engine) : engine(engine), song(engine.song) {}

    // Opens the file and checks it before anything of the song is touched; false
    // with the reason for the user when it is no project to load.
    bool Prepare(const char* path, std::string& problem) {
        errno = 0;
        if (!file.Open(path)) {
            problem = std::string("Could not open ") + path + ": " +
                      (errno != 0 ? std::strerror(errno) : "it is not a regular file");
            return false;
        }
        FindExtension();
        if (!IsPlausibleProject(file, extension)) {
            problem = std::string(path) + " is not a Vantreel project, or is damaged; nothing "
                                          "was changed";
            return false;
        }
        return true;
    }

    // After Prepare, with the song cleared: true when every byte of the song and every
    // plug-in record was honoured.
    bool Load() {
        ReadSongHead();
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (!ReadSlot(slot)) {
                stoppedEarly = true;
                return false;
            }
        }
        ReadArrangementAndSettings();
        if (extension.status == ExtensionStatus::Valid) {
            ApplyArrangementLines(extension.extension, song.arrangement);
        }
        return whole;
    }

    // A slot's record held in memory, read and applied as a project file's is.
    bool RestoreSlot(int slot, const SlotRecordImage& image) {
        if (!file.OpenBytes(image.bytes.data(), image.bytes.size())) {
            return false;
        }
        extension.status = ExtensionStatus::Valid;
        extension.extension.slots[slot] = image.extension;
        uint8_t instanced = 0;
        file.Read(&instanced, 1);
        return ReadPlugin(slot, instanced) && whole;
    }

    // One message for everything worth knowing about this load.
    void Report() {
        if (notes.empty()) {
            return;
        }
        std::string text;
        for (const std::string& note : notes) {
            text += note + "\n";
        }
        if (!stoppedEarly && !whole) {
            text += "Everything else in the song was loaded.";
        }
        engine.reporter.Show({text, kProjectCaption, MessageIcon::Warning});
    }

private:
    void Note(std::string text) { notes.push_back(std::move(text)); }
    void Fault(std::string text) {
        whole = false;
        Note(std::move(text));
    }

    // The extension ends the file; it is read before anything else because it says
    // how long each plug-in record is.
    void FindExtension() {
        if (file.Size() <
            uint64_t(kEmptyProjectSize) + kExtensionHeaderSize + kExtensionFooterSize) {
            return;
        }
        uint8_t footer[kExtensionFooterSize];
        if (!file.Seek(file.Size() - kExtensionFooterSize) ||
            file.Read(footer, sizeof footer) != sizeof footer) {
            file.Seek(0);
            return;
        }
        const uint32_t size = ExtensionSizeFromFooter(footer);
        if (size != 0) {
            ReadExtension(size);
        }
        file.Seek(0);
        if (extension.status == ExtensionStatus::Damaged) {
            Fault("The end of this project file is damaged: arrangement lines after 25 could "
                  "not be read and the plug-in records could not be checked.");
        } else if (extension.status == ExtensionStatus::Newer) {
            Fault("This project was saved by a newer version of Vantreel: arrangement lines "
                  "after 25 could not be read and the plug-in records could not be checked.");
        }
    }

    void ReadExtension(uint32_t size) {
        extension.status = ExtensionStatus::Damaged;
        if (size > kMaxExtensionSize || size > file.Size() - uint64_t(kEmptyProjectSize)) {
            return;
        }
        std::vector<uint8_t> bytes(size);
        if (!file.Seek(file.Size() - size) || file.Read(bytes.data(), size) != size) {
            return;
        }
        extension = ParseExtension(bytes.data(), size, file.Size());
        if (extension.status == ExtensionStatus::Valid && !FlagsAgree()) {
            extension.status = ExtensionStatus::Damaged;
        }
    }

    // Each slot's instanced byte, where the extension's record sizes put it, must say
    // the same as the extension about a plug-in record.
    bool FlagsAgree() {
        uint64_t at = kSongHeadSize;
        for (const ExtensionSlot& s : extension.extension.slots) {
            uint8_t flag = 0;
            if (!file.Seek(at) || file.Read(&flag, 1) != 1 || (flag != 0) != s.hasRecord) {
                return false;
            }
            at += kEmptySlotRecordSize + (s.hasRecord ? s.record.recordSize : 0);
        }
        return true;
    }

    const ExtensionSlot* StoredSlot(int slot) const {
        if (extension.status != ExtensionStatus::Valid) {
            return nullptr;
        }
        const ExtensionSlot& s = extension.extension.slots[slot];
        return s.hasRecord ? &s : nullptr;
    }

    const PluginRecordInfo* StoredShape(int slot) const {
        const ExtensionSlot* s = StoredSlot(slot);
        return s != nullptr ? &s->record : nullptr;
    }

    // Fields 1 to 4, which the check found whole and in range.
    void ReadSongHead() {
        uint8_t head[kSongHeadSize];
        ByteReader in(head, file.Read(head, sizeof head));
        SongSettings& s = song.settings;
        s.loopStart = in.I32();
        s.songEnd = Limited("song end", in.I32(), 0, kArrangementLines);
        s.sampleRate = in.I32();
        s.masterVolume = in.I32();
    }

    // A damaged song end or line length near 2^31 would make a render run until the
    // disk is full.
    int32_t Limited(const char* what, int32_t value, int32_t low, int32_t high) {
        if (value >= low && value <= high) {
            return value;
        }
        const int32_t usable = std::clamp(value, low, high);
        Note(std::string("The project's ") + what + " (" + std::to_string(value) +
             ") is out of range; " + std::to_string(usable) + " is used instead.");
        return usable;
    }

    bool ReadSlot(int slot) {
        uint8_t instanced = 0;
        file.Read(&instanced, 1); // a failed read counts as an empty slot
        if (instanced != 0 && !ReadPlugin(slot, instanced)) {
            return false;
        }
        ReadSlotBody(slot);
        return true;
    }

    bool ReadPlugin(int slot, uint8_t instancedByte) {
        const PluginRecordInfo* stored = StoredShape(slot);
        uint8_t rawName[kPluginNameSize] = {};
        const std::size_t got = file.Read(rawName, sizeof rawName);
        char name[kPluginNameSize + 1] = {};
        std::memcpy(name, rawName, sizeof rawName);
        if (got < sizeof rawName) {
            ShowMissing(name);
            return false;
        }
        // LoadPlugin refuses names that leave the plug-in folders (absolute, "..").
        const std::string wanted = StoredName(name, StoredSlot(slot));
        if (!engine.LoadPlugin(slot, wanted.c_str())) {
            ShowMissing(wanted.c_str());
            if (!stored) {
                return false; // without record sizes the rest of the file cannot be found
            }
            return KeepMissingRecord(slot, instancedByte, rawName, *StoredSlot(slot));
        }
        AEffect* e = engine.LivePlugin(slot);
        if (stored && !stored->SameShape(plugin::ShapeOf(e))) {
            file.Skip(stored->recordSize - kPluginNameSize);
            Fault(SlotLabel(slot) + ": " + Quoted(name) + " is not the plug-in the project was " +
                  "saved with (" + ShapeText(*stored) + " then, " + ShapeText(plugin::ShapeOf(e)) +
                  " now). Its stored settings were not applied; it starts from its defaults.");
            return true;
        }
        return ReadPluginState(slot, name, stored);
    }

    static std::string ShapeText(const PluginRecordInfo& info) {
        char id[16];
        std::snprintf(id, sizeof id, "%08X", uint32_t(info.uniqueId));
        return "ID " + std::string(id) + ", " + std::to_string(info.numPrograms) + " programs, " +
               std::to_string(info.numParams) + " parameters, " +
               (info.programChunks ? "with" : "without") + " a state chunk";
    }

    void ShowMissing(const char* name) { engine.reporter.Show(MissingPluginMessage(name)); }

    bool KeepMissingRecord(int slot, uint8_t instancedByte, const uint8_t* rawName,
                           const ExtensionSlot& storedSlot) {
        const PluginRecordInfo& stored = storedSlot.record;
        MissingPluginRecord& kept = engine.missingPlugins[slot];
        kept.bytes.assign(rawName, rawName + kPluginNameSize);
        kept.bytes.resize(stored.recordSize); // bounded: the record sizes add up to the file
        const std::size_t rest = stored.recordSize - kPluginNameSize;
        if (file.Read(kept.bytes.data() + kPluginNameSize, rest) != rest) {
            kept.Clear();
            Fault(SlotLabel(slot) + ": the project file ends inside its plug-in record.");
            return false;
        }
        kept.kept = true;
        kept.instancedByte = instancedByte;
        kept.info = stored;
        kept.longName = storedSlot.longName;
        Fault(SlotLabel(slot) + ": the plug-in " + Quoted(kept.Name()) +
              " is missing. Its stored settings are kept and will be saved back unchanged; "
              "its sends and patterns were loaded.");
        return true;
    }

    bool ReadPluginState(int slot, const char* name, const PluginRecordInfo* stored) {
        AEffect* e = engine.LivePlugin(slot);
        const uint64_t recordEnd =
            file.Position() - kPluginNameSize + (stored ? stored->recordSize : 0);
        PluginState state;
        std::string damage;
        if (!ReadState(plugin::ShapeOf(e), stored, state, damage)) {
            if (stored) {
                // The record's end is known: skip it and go on with the rest of the song.
                file.Seek(recordEnd);
                Fault(SlotLabel(slot) + ": the stored settings of " + Quoted(name) +
                      " are damaged (" + damage + "); it starts from its defaults.");
                return true;
            }
            engine.UnloadPlugin(slot);
            Fault(SlotLabel(slot) + ": the plug-in record of " + Quoted(name) +
                  " cannot be read (" + damage + "). " + LoadedBefore(slot));
            return false;
        }
        ApplyState(slot, e, state);
        return true;
    }

    static std::string LoadedBefore(int slot) {
        if (slot == 0) {
            return "The song was not loaded.";
        }
        char text[96];
        std::snprintf(text, sizeof text,
                      "Slots 00 to %02d were loaded; the rest of the song was not.", slot - 1);
        return text;
    }

    // Reads the record after the name, checking every size against the file first.
    bool ReadState(const PluginRecordInfo& shape, const PluginRecordInfo* stored,
                   PluginState& state, std::string& damage) {
        const uint64_t valueCount = uint64_t(shape.numPrograms) * uint64_t(shape.numParams);
        // Both counts come from the plug-in: compare without multiplying past 64 bits.
        if (valueCount > file.Remaining() / 4 || 4 + 4 * valueCount > file.Remaining()) {
            damage = "the file ends inside it";
            return false;
        }
        std::vector<uint8_t> bytes(4 + 4 * valueCount);
        file.Read(bytes.data(), bytes.size());
        ByteReader in(bytes.data(), bytes.size());
        state.program = in.I32();
        state.values.resize(valueCount);
        for (float& value : state.values) {
            value = in.F32();
        }
        if (!shape.programChunks) {
            return true;
        }
        return ReadChunk(shape, stored, state, damage);
    }

    bool ReadChunk(const PluginRecordInfo& shape, const PluginRecordInfo* stored,
                   PluginState& state, std::string& damage) {
        uint8_t sizeBytes[4];
        if (file.Read(sizeBytes, sizeof sizeBytes) != sizeof sizeBytes) {
            damage = "the file ends inside it";
            return false;
        }
        const int32_t size = ByteReader(sizeBytes, sizeof sizeBytes).I32();
        if (size < 0 || uint64_t(size) > file.Remaining() ||
            (stored && uint64_t(size) != stored->recordSize - shape.FixedSize())) {
            damage = "its state chunk claims " + std::to_string(size) + " bytes with " +
                     std::to_string(file.Remaining()) + " left in the file";
            return false;
        }
        state.hasChunk = true;
        state.chunk.resize(std::size_t(size));
        if (file.Read(state.chunk.data(), state.chunk.size()) != state.chunk.size()) {
            damage = "the file ends inside it";
            return false;
        }
        return true;
    }

    // The calls and their order are those of the original loader; the chunk comes
    // after the per-program values, so it wins.
    void ApplyState(int slot, AEffect* e, const PluginState& state) {
        const int32_t programs = plugin::ProgramCount(e);
        const int32_t params = plugin::ParameterCount(e);
        bool clamped = false;
        // Nothing to set per program without parameters (see the writer).
        for (int32_t p = 0; p < programs && params > 0; ++p) {
            plugin::SetProgram(e, p);
            for (int32_t k = 0; k < params; ++k) {
                const float value = state.values[std::size_t(p) * params + k];
                plugin::SetParameter(e, k, UsableParameter(value, clamped));
            }
        }
        if (state.program >= 0 && state.program < std::max(programs, 1)) {
            plugin::SetProgram(e, state.program);
        } else {
            Note(SlotLabel(slot) + ": the stored program number " + std::to_string(state.program) +
                 " does not exist; program 0 is kept.");
        }
        if (clamped) {
            Note(SlotLabel(slot) + ": stored parameter values outside 0..1 were limited to it.");
        }
        if (state.hasChunk && !state.chunk.empty()) {
            plugin::SetChunk(e, const_cast<uint8_t*>(state.chunk.data()),
                             VstIntPtr(state.chunk.size()));
        }
        // An LV2 instrument's state may name files that are gone, or be damaged.
        for (std::string& note : TakeLv2StateNotes(e)) {
            Note(SlotLabel(slot) + ": " + note);
        }
    }

    // Sends and patterns: what the file still holds is read, the rest stays cleared.
    void ReadSlotBody(int slot) {
        PluginSlot& s = song.slots[slot];
        uint8_t sends[kSendLevelsSize];
        const std::size_t got = file.Read(sends, sizeof sends);
        std::atomic<uint8_t>* levels[kSendLevelsSize] = {&s.sendDelay, &s.sendReverb,
                                                         &s.sendChorus};
        for (std::size_t i = 0; i < got; ++i) {
            levels[i]->store(sends[i]);
        }
        bank.resize(kPatternBankSize);
        const std::size_t read = file.Read(bank.data(), bank.size());
        ReadPartialPatternBank(bank.data(), read, s);
    }

    void ReadArrangementAndSettings() {
        uint8_t head[kArrangementHeadSize];
        ReadArrangementHead(head, file.Read(head, sizeof head), song.arrangement);
        uint8_t tail[kSettingsTailSize];
        ByteReader in(tail, file.Read(tail, sizeof tail));
        ReadSettingsTail(in, song.settings);
        song.settings.lineLength =
            Limited("line length", song.settings.lineLength, kMinLineLength, kMaxLineLength);
    }

    AudioEngine& engine;
    Song& song;
    FileReader file;
    ExtensionParse extension;
    std::vector<uint8_t> bank;
    std::vector<std::string> notes;
    bool whole = true;
    bool stoppedEarly = false;
};

} // namespace

bool RestoreSlotRecord(AudioEngine& engine, int slot, const SlotRecordImage& image) {
    if (slot < 0 || slot >= kSlotCount) {
        return false;
    }
    EngineLockGuard guard(engine.lock);
    engine.UnloadPlugin(slot); // also drops a kept record of a missing plug-in
    if (image.missing.kept) {
        engine.missingPlugins[slot] = image.missing;
        return true;
    }
    if (!image.Instanced()) {
        return true;
    }
    ProjectLoader loader(engine);
    const bool whole = loader.RestoreSlot(slot, image);
    loader.Report();
    return whole;
}

bool AudioEngine::CheckProjectFile(const char* path, std::string& problem) {
    if (path == nullptr) {
        problem = "No file was named.";
        return false;
    }
    ProjectLoader loader(*this);
    return loader.Prepare(path, problem);
}

bool AudioEngine::LoadProject(const char* path) {
    if (path == nullptr) {
        return false;
    }
    ProjectLoader loader(*this);
    std::string problem;
    if (!loader.Prepare(path, problem)) {
        reporter.Show({problem, kProjectCaption, MessageIcon::Error});
        return false;
    }
    EngineLockGuard guard(lock);
    ClearProject();
    for (MissingPluginRecord& record : missingPlugins) {
        record.Clear();
    }
    const bool whole = loader.Load();
    loader.Report();
    return whole;
}

} // namespace vantreel
