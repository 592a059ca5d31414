// Saving project files: the song's fixed layout with each plug-in's programs,
// parameters and chunk in between, and the extension after field 12 that keeps what
// the fixed layout cannot (see docs/file-format.md).

#include "engine/AudioEngine.h"
#include "engine/ProjectTexts.h"
#include "engine/SlotRecord.h"
#include "plugins/PluginCalls.h"
#include "song/AtomicFileWriter.h"
#include "song/ProjectExtension.h"
#include "song/ProjectLayout.h"
#include "song/ProjectPath.h"

#include <climits>
#include <string>
#include <vector>

namespace vantreel {

namespace {

constexpr uint64_t kMaxSavedValueBytes = 1u << 30; // beyond this a plug-in's counts are absurd

class ProjectWriter {
public:
    ProjectWriter(AudioEngine& engine, std::vector<uint8_t>& bytes)
        : engine(engine), song(engine.song), out(bytes) {}

    // False when a plug-in's state cannot be written; `problem` says why.
    bool Write() {
        WriteSongHead(out, song.settings);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (!WriteSlot(slot)) {
                return false;
            }
        }
        WriteArrangementHead(out, song.arrangement);
        WriteSettingsTail(out, song.settings);
        WriteExtension(out, out.Size(), records, song.arrangement);
        return true;
    }

    // The slot's instanced byte and plug-in record, as the file holds them, with the
    // record's shape in Record(slot).
    bool WritePluginPart(int slot) {
        const MissingPluginRecord& missing = engine.missingPlugins[slot];
        if (song.slots[slot].IsInstanced()) {
            out.U8(1);
            return WritePluginRecord(slot);
        }
        if (missing.kept) {
            out.U8(missing.instancedByte);
            out.Bytes(missing.bytes.data(), missing.bytes.size());
            records[slot] = {true, missing.info, missing.longName};
        } else {
            out.U8(0);
        }
        return true;
    }

    const ExtensionSlot& Record(int slot) const { return records[slot]; }

    std::vector<std::string> warnings;
    std::string problem;

private:
    bool WriteSlot(int slot) {
        PluginSlot& s = song.slots[slot];
        if (!WritePluginPart(slot)) {
            return false;
        }
        out.U8(s.sendDelay);
        out.U8(s.sendReverb);
        out.U8(s.sendChorus);
        WritePatternBank(out, s);
        return true;
    }

    bool WritePluginRecord(int slot) {
        AEffect* e = engine.LivePlugin(slot);
        PluginRecordInfo info = plugin::ShapeOf(e);
        if (uint64_t(info.numPrograms) * uint64_t(info.numParams) > kMaxSavedValueBytes / 4) {
            problem = SlotLabel(slot) + ": the plug-in reports " +
                      std::to_string(info.numPrograms) + " programs of " +
                      std::to_string(info.numParams) + " parameters, too many to save.";
            return false;
        }
        const std::size_t start = out.Size();
        out.Bytes(song.slots[slot].dllName, kPluginNameSize);
        const VstIntPtr current = plugin::GetProgram(e);
        out.I32(static_cast<int32_t>(current));
        // With no parameters there is nothing to read per program: stepping through
        // a plug-in's 2^31 programs would hold the lock (and the sound) for seconds.
        if (info.numParams > 0) {
            for (int32_t p = 0; p < info.numPrograms; ++p) {
                plugin::SetProgram(e, p);
                for (int32_t k = 0; k < info.numParams; ++k) {
                    out.F32(plugin::GetParameter(e, k));
                }
            }
            plugin::SetProgram(e, current);
        }
        if (info.programChunks) {
            WriteChunk(slot, e);
        }
        info.recordSize = out.Size() - start;
        const std::string& name = engine.PluginName(slot);
        records[slot] = {true, info, name.size() >= size_t(kPluginNameSize) ? name : ""};
        return true;
    }

    void WriteChunk(int slot, AEffect* e) {
        void* data = nullptr;
        VstIntPtr size = plugin::GetChunk(e, &data);
        if (size < 0 || size > INT32_MAX || (size > 0 && data == nullptr)) {
            warnings.push_back(SlotLabel(slot) + ": the plug-in " +
                               Quoted(song.slots[slot].dllName) +
                               " gave no usable state chunk; it was saved without one.");
            size = 0;
        }
        out.I32(static_cast<int32_t>(size));
        out.Bytes(data, std::size_t(size));
    }

    AudioEngine& engine;
    Song& song;
    ByteWriter out;
    ExtensionSlot records[kSlotCount];
};

} // namespace

bool CaptureSlotRecord(AudioEngine& engine, int slot, SlotRecordImage& image,
                       std::string& problem) {
    image = {};
    EngineLockGuard guard(engine.lock);
    if (!engine.song.slots[slot].IsInstanced() && engine.missingPlugins[slot].kept) {
        image.missing = engine.missingPlugins[slot];
        return true;
    }
    ProjectWriter writer(engine, image.bytes);
    // A chunk the plug-in will not give is said when the project is saved, not on
    // every Open... and Delete.
    const bool written = writer.WritePluginPart(slot);
    problem = writer.problem;
    image.extension = writer.Record(slot);
    return written;
}

bool AudioEngine::BuildProjectImage(ProjectImage& image) {
    image.bytes.clear();
    image.warnings.clear();
    image.problem.clear();
    image.bytes.reserve(std::size_t(kEmptyProjectSize) + (1u << 16));
    // Plug-ins are switched through their programs: no block may render meanwhile.
    EngineLockGuard guard(lock);
    ProjectWriter writer(*this, image.bytes);
    const bool written = writer.Write();
    image.warnings = std::move(writer.warnings);
    image.problem = std::move(writer.problem);
    return written;
}

bool AudioEngine::SaveProject(const char* path) {
    if (path == nullptr) {
        return false;
    }
    const std::string target = WithProjectExtension(path);
    // The image is built under the lock; the warnings are shown and the disk is
    // written after it is released, so the sound never stops for either.
    ProjectImage image;
    const bool built = BuildProjectImage(image);
    for (const std::string& warning : image.warnings) {
        reporter.Show({warning, kProjectCaption, MessageIcon::Warning});
    }
    if (!built) {
        reporter.NoteFailure(image.problem + " The project was not saved.");
        return false;
    }
    std::string error;
    if (!WriteFileAtomically(target, image.bytes.data(), image.bytes.size(), error)) {
        reporter.NoteFailure("Could not save " + target + ": " + error);
        return false;
    }
    return true;
}

} // namespace vantreel
