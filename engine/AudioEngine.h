#pragma once
// The one object that owns the song, the plug-in instances, the playback state, the
// event lists, the audio buffers, the master effects, the output and the lock.
// About 5 MB of fixed arrays: build it once, on the heap, and never copy it.
//
// Threads: unless a comment says otherwise, an operation runs on the user-interface
// thread. The audio thread enters through the device feed (Feed().Fill), or through
// StreamCallback when the caller drives the engine.

#include "engine/AudioConstants.h"
#include "engine/BlockSource.h"
#include "engine/DeviceFeed.h"
#include "engine/EngineLock.h"
#include "engine/MasterEffects.h"
#include "engine/MidiEventQueue.h"
#include "engine/OutputChoice.h"
#include "engine/OutputStream.h"
#include "engine/RenderWorkers.h"
#include "engine/Reporter.h"
#include "engine/SlotEventList.h"
#include "engine/SlotScratch.h"
#include "plugins/HostContext.h"
#include "plugins/PluginCalls.h"
#include "plugins/VstAbi.h"
#include "song/EditorState.h"
#include "song/MissingPluginRecord.h"
#include "song/ModifiedFlag.h"
#include "song/Shared.h"
#include "song/Song.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantreel {

// A project file's bytes as SaveProject writes them, and what building them found.
struct ProjectImage {
    std::vector<uint8_t> bytes;
    std::vector<std::string> warnings; // a plug-in's state saved without its chunk
    std::string problem;               // why no image could be built
};

enum class OutputMode {
    Device,       // the sound card, or the paced output when none can be opened
    Paced,        // real-time pace without a device
    CallerDriven, // no stream: the caller drives StreamCallback (tests, offline rendering)
};

enum PlayMode : int32_t { kStopped = 0, kPlayingPattern = 1, kPlayingSong = 2 };

constexpr int kNoNote = 255;    // lastData1 / lastChannel when a track holds no event
constexpr int kNoPattern = 255; // a slot's playing pattern when it plays none

class AudioEngine : private BlockSource {
public:
    // With OutputMode::Device, opens `choice` (the system's default device when
    // empty); when it cannot be opened the null output plays and OutputProblem() says
    // why. `renderThreads` threads, the audio thread among them, render the slots'
    // plug-ins of each block (1: all on the audio thread, one after the other); the
    // pool starts before the output and keeps its size for the engine's life.
    explicit AudioEngine(OutputMode output = OutputMode::Device, const OutputChoice& choice = {},
                         int renderThreads = 1);
    virtual ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // The process-wide engine, reached by the host and MIDI callbacks. Any thread.
    static AudioEngine* Current();

    // --- Song model (AudioEngine.cpp) ---------------------------------------------
    void ClearProject(); // closes every plug-in, empties the song; holds the lock
    void ClearSlot();    // every slot: flag, event list, sends, patterns, notes
    void ClearPattern(int slot, int pattern);
    // Copies the slot's display name ("Not instanced" when empty) into `text`.
    void GetSlotName(int slot, char text[kTextSize]) const;
    // The instance of `slot`, or null while the slot is not instanced (or is no slot):
    // a closed instance is never handed out. User-interface thread, or any thread
    // holding the lock.
    AEffect* LivePlugin(int slot) const;
    AEffect* CurrentEffect() const; // LivePlugin of the current slot
    Pattern& CurrentPattern();

    // --- Plug-in slots (PluginSlots.cpp) ------------------------------------------
    bool LoadPlugin(int slot, const char* name);
    void UnloadPlugin(int slot); // holds the lock
    // Why the last LoadPlugin failed ("" after a success), for the windows to show.
    const std::string& LastPluginError() const;
    // The whole name the slot's plug-in was loaded with: dllName holds its first 63
    // characters, which for a long LV2 URI is not all of it. Valid while instanced.
    const std::string& PluginName(int slot) const;

    // --- Project files (ProjectWriter.cpp, ProjectLoader.cpp) ---------------------
    // SaveProject appends ".vpf" unless the path ends in it and replaces the file only
    // once the new one is whole on the disk; when it fails, the reporter's
    // LastFailure says why. LoadProject is true only when the whole song and every
    // plug-in record were loaded; a file that is no project, or a damaged one, is
    // refused with a message before the song is touched. Both take the lock.
    bool SaveProject(const char* path);
    bool LoadProject(const char* path);
    // The bytes SaveProject would write, built under the lock, for a save that happens
    // elsewhere (the background autosave). False, with `image.problem` saying why, when
    // a plug-in's state cannot be written. User-interface thread.
    bool BuildProjectImage(ProjectImage& image);
    // Whether `path` could be loaded at all, judged as LoadProject judges it before it
    // touches the song; false with the reason for the user. Touches nothing of the
    // song and takes no lock. User-interface thread.
    bool CheckProjectFile(const char* path, std::string& problem);

    // --- Output (AudioEngine.cpp, StreamCallback.cpp) --------------------------------
    // Fills one buffer of kCallbackFrames stereo frames. With `realtime`, waits for the
    // lock at most a quarter of the buffer's time and writes silence if it cannot get
    // it; otherwise waits. Audio thread (or the offline driver's thread).
    void StreamCallback(int16_t* buffer, bool realtime);
    // Closes the output and opens `choice`, holding the lock, while the plug-ins stay
    // loaded. False, with OutputProblem() saying why, when it cannot be opened: the
    // null output plays instead.
    bool ReopenOutput(const OutputChoice& choice);
    const std::string& OutputProblem() const { return outputProblem; } // "" when opened
    OutputFormat CurrentOutput() const; // what the output runs at; zeros without one
    bool OutputConverts() const;        // the device's rate is not the song's
    // What the device's callbacks are served by; tests drive it directly.
    DeviceFeed& Feed() { return feed; }
    double CpuUsage() const;   // the worst recent callback against its budget, percent; any thread
    uint32_t Dropouts() const; // the device's dropouts since start; any thread
    int VuPosition(float peak) const; // bar position 0..128 for a peak; any thread
    int RenderThreads() const { return workers->Threads(); } // any thread

    // --- Sequencer (Sequencer.cpp) ------------------------------------------------
    void SetTempo(double bpm);
    double GetTempo() const; // any thread
    void ResetSequencer();
    void ResetSongState();
    void PlayPattern();
    void PlaySong();
    void StopPlayback();         // holds the lock
    void SetLoopStartAtCursor(); // Ctrl+B on the arrangement: loopStart = seqCursorLine
    void SetSongEndAtCursor();   // Ctrl+E on the arrangement: songEnd = seqCursorLine
    int SongTimeSeconds() const; // whole seconds of song time at songPosition; any thread
    int32_t LineCounter() const; // samples into the current line; any thread

    // --- Event lists (EventLists.cpp) ---------------------------------------------
    // These four run on the audio thread, or on the user-interface thread holding the
    // lock, except QueueMidiEvent, which any thread may call without the lock.
    void PlayCell(int slot, int track, EventCell cell, int offset);
    int ReleaseTrackNote(int slot, int track, int offset);
    void AllNotesOff(int slot);
    void QueueMidiEvent(int slot, const uint8_t bytes[4]);

    // --- State --------------------------------------------------------------------
    EngineLock lock;
    Reporter reporter;
    EditorState editor;
    Song song;
    ModifiedFlag modified; // user-interface thread only
    char pluginFolder[kTextSize] = {};
    // Stored records of plug-ins missing when the project loaded, written back by the
    // next save; `kept` marks the slot as missing for the display.
    MissingPluginRecord missingPlugins[kSlotCount];

    // The slots' instances, set by LoadPlugin (or a test's own plug-in); read them
    // through LivePlugin, which knows whether the instance is still open.
    AEffect* effect[kSlotCount] = {};
    SlotEventList eventLists[kSlotCount];
    // The first data byte and the channel of the event each track last sent (a note's
    // key, but any event's first byte): a new note, a note-off cell, a note gate or a
    // break releases it as a note. Audio thread, or the lock held.
    int lastData1[kSlotCount][kTracks];
    int lastChannel[kSlotCount][kTracks];

    // Playback state: the audio thread advances it; the user interface reads it for
    // display and sets it under the lock.
    std::atomic<int32_t> playMode{kStopped};
    std::atomic<int32_t> patternLine{0};
    std::atomic<int32_t> songPosition{0};

    MasterEffects effects;

    // What plug-ins calling back may reach; published while the engine lives. Declared
    // after the song, the editor state and the play mode, which it refers to.
    HostContext hostContext{song, editor, playMode};

private:
    // BlockSource, for the device feed.
    bool TryLockFor(std::chrono::microseconds wait) override;
    void Unlock() override;
    void RenderOutputBlock(int16_t* frames) override;

    void RenderBlock();
    // Any render thread: runs one slot's plug-in for the block with that thread's scratch.
    void RenderSlot(int slot, AEffect* instance, SlotScratch& scratch);
    static void RenderItem(void* engine, int index, int thread);
    void AdvanceSequencer();
    void AdvancePatternMode();
    void AdvanceSongMode();
    void StartSongLine(int slot, int offset);
    void PlaySongSlotLine(int slot, bool lineStart, int offset);
    void DrainMidiQueue();
    void AppendEvent(int slot, const uint8_t bytes[4], int offset, bool& dropped);
    bool OpenOutput(OutputMode mode, const OutputChoice& choice);
    bool StartOutput(std::unique_ptr<OutputStream> stream, const OutputChoice& choice);
    static void OutputCallback(void* user, int16_t* buffer, int frames, bool underflow);
    // TransportClock.cpp: the song position plug-ins read, once per block.
    void PublishTransport();
    double TransportLine(int mode, int lineLength) const;
    void LoopRange(int mode, VstTimeInfo& info) const;

    // The sequencer's place: samples into the line, and each slot's line and pattern
    // in song mode. Audio thread, or the lock held.
    std::atomic<int32_t> lineCounter{0};
    int slotLine[kSlotCount] = {};
    int slotPattern[kSlotCount] = {};

    // One block's buffers. Audio thread only, except a slot's output while its render
    // thread runs the slot.
    float mixLeft[kBlockFrames] = {};
    float mixRight[kBlockFrames] = {};
    float sendBufferLeft[kSendCount][kBlockFrames] = {};
    float sendBufferRight[kSendCount][kBlockFrames] = {};
    float slotOutLeft[kSlotCount][kBlockFrames] = {};
    float slotOutRight[kSlotCount][kBlockFrames] = {};

    // The block's slots for the render threads: written by the audio thread before it
    // hands them out, read by the thread that takes one.
    struct BlockItem {
        int slot;
        AEffect* instance;
    };
    BlockItem blockItems[kSlotCount] = {};
    // Per slot: its library must run on the audio thread alone (the settings say so).
    // Set by LoadPlugin before the slot is instanced.
    Shared<uint8_t> audioThreadOnly[kSlotCount] = {};

    AEffect* CreateInstance(const char* name); // null, with lastPluginError, on failure

    MidiEventQueue midiQueue;
    DeviceFeed feed{*this};
    // One scratch per render thread, index 0 the audio thread's; then the pool. Both
    // are made before the output starts and live as long as the engine.
    std::vector<std::unique_ptr<SlotScratch>> scratch;
    std::unique_ptr<RenderWorkers> workers;
    std::unique_ptr<OutputStream> output;
    std::string outputProblem;
    std::string lastPluginError;
    std::string pluginNames[kSlotCount];

    // Transport bookkeeping; only touched with the lock held.
    bool transportRestart = true; // playback (re)started since the last block
    bool transportChanged = true; // the next record says the transport changed
    int32_t transportMode = kStopped;
    double transportLine = 0.0;  // line position at the start of the last block
    int64_t transportFrames = 0; // frames played since playback started
};

} // namespace vantreel
