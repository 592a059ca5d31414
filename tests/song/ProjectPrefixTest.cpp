// Every way a project file can be cut short: each field boundary (and the bytes
// either side of it) plus a sample of other lengths. A cut file has lost its
// extension, so only the plug-in can say how long its record is: a cut that leaves
// less than the smallest song the file could hold is refused before anything is
// changed; past that, a load must fail exactly when the cut falls inside a plug-in
// record, and otherwise give the song as far as the file goes with the rest as the
// clearing left it. Run under AddressSanitizer this also shows that no cut crashes
// or leaks.

#include "ProjectTestSupport.h"
#include "song/ProjectExtension.h"

#include <random>
#include <set>

namespace vantreel::test {
namespace {

constexpr int kProbeSlot = 1;
constexpr int kSynthSlot = 3;
// Field sizes of fields 7 to 12, value by value: each is read whole or not at all.
constexpr int kTailValueSizes[] = {2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 4};

// Where the fields of the reference file are.
struct Layout {
    uint64_t slotStart[kSlotCount] = {}; // the instanced byte
    uint64_t recordSize[kSlotCount] = {};
    uint64_t chunkSize[kSlotCount] = {};
    uint64_t headStart = 0; // the arrangement head
    uint64_t tailStart = 0;
    uint64_t baseSize = 0;
};

// Kept out of line: GCC's overflow warning misreads these copies once inlined.
[[gnu::noinline]] void Append(Bytes& out, const Bytes& from, uint64_t start, uint64_t count) {
    const std::size_t at = out.size();
    out.resize(at + count);
    std::copy_n(from.begin() + start, count, out.begin() + at);
}

// Prefers memory-backed scratch space: the test saves hundreds of times.
std::string FastFolder(const Scratch& fallback) {
    std::string pattern = "/dev/shm/vantreel-prefix-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) {
        return pattern;
    }
    return fallback.Folder();
}

class ProjectPrefixTest : public ::testing::Test {
protected:
    void SetUp() override {
        UsePrivatePluginEnvironment(scratch);
        folder = FastFolder(scratch);
        auto source = MakeEngine();
        ASSERT_TRUE(source->LoadPlugin(kProbeSlot, kProbeName));
        ASSERT_TRUE(source->LoadPlugin(kSynthSlot, kSynthName));
        SetPluginValues(*source, kProbeSlot, 1);
        SetPluginValues(*source, kSynthSlot, 2);
        FillSong(*source, 99);
        source->song.settings.sampleRate = 48000;
        ASSERT_TRUE(source->SaveProject((folder + "/full.vpf").c_str()));
        original = ReadBytes(folder + "/full.vpf");
        ASSERT_TRUE(MakeEngine()->SaveProject((folder + "/empty.vpf").c_str()));
        empty = ReadBytes(folder + "/empty.vpf");
        FindLayout();
    }

    void TearDown() override {
        if (folder.rfind("/dev/shm/", 0) == 0) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    }

    void FindLayout() {
        const uint32_t extensionSize =
            ExtensionSizeFromFooter(original.data() + original.size() - kExtensionFooterSize);
        const ExtensionParse parse = ParseExtension(
            original.data() + original.size() - extensionSize, extensionSize, original.size());
        ASSERT_EQ(ExtensionStatus::Valid, parse.status);
        uint64_t at = kSongHeadSize;
        for (int s = 0; s < kSlotCount; ++s) {
            const ExtensionSlot& slot = parse.extension.slots[s];
            layout.slotStart[s] = at;
            if (slot.hasRecord) {
                layout.recordSize[s] = slot.record.recordSize;
                layout.chunkSize[s] = slot.record.recordSize - slot.record.FixedSize();
            }
            at += kEmptySlotRecordSize + layout.recordSize[s];
        }
        layout.headStart = at;
        layout.tailStart = at + kArrangementHeadSize;
        layout.baseSize = parse.extension.baseSize;
        ASSERT_EQ(layout.tailStart + kSettingsTailSize, layout.baseSize);
    }

    // The cut lengths: every field boundary (the plug-in records' and the slot flags'
    // with their neighbours), and a random sample. Kept to a few hundred so the test
    // stays quick under AddressSanitizer.
    std::set<uint64_t> Cuts() const {
        std::set<uint64_t> cuts;
        auto at = [&](uint64_t length) {
            if (length < original.size()) {
                cuts.insert(length);
            }
        };
        auto around = [&](uint64_t length) {
            at(length - 1);
            at(length);
            at(length + 1);
        };
        for (uint64_t length = 0; length <= kSongHeadSize; ++length) {
            at(length);
        }
        for (int s = 0; s < kSlotCount; ++s) {
            const uint64_t p = layout.slotStart[s];
            const uint64_t r = layout.recordSize[s];
            around(p);
            at(p + 2);
            if (r != 0) {
                around(p + 1 + kPluginNameSize);
                around(p + 1 + kPluginNameSize + 4);
                around(p + 1 + r - layout.chunkSize[s] - 4);
                around(p + 1 + r - layout.chunkSize[s]);
            }
            const uint64_t sends = p + 1 + r;
            for (int i = 0; i <= kSendLevelsSize; ++i) {
                at(sends + i);
            }
            for (int k = 0; k < kPatternsPerSlot; ++k) {
                if (s == kProbeSlot || k == 0 || k == kPatternsPerSlot - 1) {
                    const uint64_t pattern =
                        sends + kSendLevelsSize + uint64_t(k) * kPatternRecordSize;
                    at(pattern + kPatternCellsOffset);
                    at(pattern + kPatternLengthOffset + 1); // inside the length
                }
            }
        }
        around(layout.headStart + kArrangementLineSize);
        for (uint64_t length = layout.headStart; length <= layout.baseSize + 1; ++length) {
            if (length >= layout.tailStart || length < layout.headStart + 4) {
                at(length);
            }
        }
        around(layout.baseSize + kExtensionHeaderSize);
        around(original.size() - kExtensionFooterSize);
        at(original.size() - 1);
        std::mt19937_64 random(2026);
        for (int i = 0; i < 30; ++i) {
            at(random() % original.size());
        }
        return cuts;
    }

    // The slot whose plug-in record the cut falls into, or -1.
    int CutRecord(uint64_t length) const {
        for (int s = 0; s < kSlotCount; ++s) {
            const uint64_t p = layout.slotStart[s];
            if (layout.recordSize[s] != 0 && length > p && length < p + 1 + layout.recordSize[s]) {
                return s;
            }
        }
        return -1;
    }

    // Fields 1 to 12 as a save of the loaded song must give them.
    Bytes ExpectedBase(uint64_t length) const {
        Bytes out;
        out.reserve(original.size());
        // Bytes taken one by one: those the file holds, then the empty song's.
        auto bytesAt = [&](uint64_t at, uint64_t emptyAt, uint64_t count) {
            const uint64_t held = at >= length ? 0 : std::min(count, length - at);
            Append(out, original, at, held);
            Append(out, empty, emptyAt + held, count - held);
        };
        // A value is read whole or not at all.
        auto valueAt = [&](uint64_t at, uint64_t emptyAt, int size) {
            const bool read = at + size <= length;
            Append(out, read ? original : empty, read ? at : emptyAt, size);
        };
        for (int i = 0; i < kSongHeadSize; i += 4) {
            valueAt(i, i, 4);
        }
        const uint64_t emptySends = kSongHeadSize + 1;
        for (int s = 0; s < kSlotCount; ++s) {
            const uint64_t p = layout.slotStart[s];
            if (p < length) {
                Append(out, original, p, 1 + layout.recordSize[s]);
            } else {
                Append(out, empty, kSongHeadSize, 1); // an empty slot's flag
            }
            bytesAt(p + 1 + layout.recordSize[s], emptySends, kSendLevelsSize + kPatternBankSize);
        }
        const uint64_t emptyHead = kEmptyProjectSize - kSettingsTailSize - kArrangementHeadSize;
        bytesAt(layout.headStart, emptyHead, kArrangementHeadSize);
        uint64_t at = layout.tailStart;
        uint64_t emptyAt = kEmptyProjectSize - kSettingsTailSize;
        for (int size : kTailValueSizes) {
            valueAt(at, emptyAt, size);
            at += size;
            emptyAt += size;
        }
        return out;
    }

    // The least a file with this file's first plug-in record can hold: the fixed part
    // with that record at its smallest (name and program) and no other record.
    static uint64_t SmallestSong() { return kEmptyProjectSize + kPluginNameSize + 4; }

    void ExpectOutcome(uint64_t length, AudioEngine& loaded, bool whole, const MessageLog& log) {
        if (length < SmallestSong()) {
            ASSERT_FALSE(whole) << "cut at " << length;
            ASSERT_EQ(1u, log.messages.size()) << "cut at " << length;
            EXPECT_NE(std::string::npos, log.messages[0].text.find("is not a Vantreel project"));
            EXPECT_STREQ("Before", loaded.song.slots[0].patterns[0].name) << "cut at " << length;
            return;
        }
        const int cut = CutRecord(length);
        if (cut >= 0) {
            ASSERT_FALSE(whole) << "cut at " << length;
            const bool inName = length < layout.slotStart[cut] + 1 + kPluginNameSize;
            EXPECT_EQ(inName ? 1 : 0, log.Count("Vantreel - Missing DLL")) << "cut at " << length;
            for (int s = 0; s < kSlotCount; ++s) {
                const bool stored = s < cut && layout.recordSize[s] != 0;
                ASSERT_EQ(stored, loaded.song.slots[s].IsInstanced()) << "cut at " << length;
            }
            EXPECT_STREQ("Untitled", loaded.song.slots[cut].patterns[0].name);
            return;
        }
        ASSERT_TRUE(whole) << "cut at " << length;
        const std::string path = folder + "/resaved.vpf";
        ASSERT_TRUE(loaded.SaveProject(path.c_str()));
        const Bytes saved = ReadBytes(path);
        const Bytes expected = ExpectedBase(length);
        ASSERT_GE(saved.size(), expected.size());
        const auto mismatch =
            std::mismatch(expected.begin(), expected.end(), saved.begin()).first - expected.begin();
        ASSERT_EQ(uint64_t(expected.size()), uint64_t(mismatch)) << "cut at " << length;
        const ExtensionParse parse = ParseExtension(saved.data() + expected.size(),
                                                    saved.size() - expected.size(), saved.size());
        ASSERT_EQ(ExtensionStatus::Valid, parse.status);
        EXPECT_TRUE(parse.extension.lines.empty()) << "cut at " << length;
    }

    Scratch scratch;
    std::string folder;
    Bytes original;
    Bytes empty;
    Layout layout;
};

TEST_F(ProjectPrefixTest, EveryCutIsRefusedOrLoadsAsFarAsTheFileGoesOrFailsInsideARecord) {
    auto loaded = MakeEngine();
    MessageLog log;
    log.Attach(*loaded);
    const std::string path = folder + "/cut.vpf";
    int refused = 0;
    const std::set<uint64_t> cuts = Cuts();
    for (uint64_t length : cuts) {
        refused += length < SmallestSong();
        WriteBytes(path, Bytes(original.begin(), original.begin() + length));
        // Settings the file does not reach keep their values: start each load from
        // the defaults so the expected bytes are those of an empty project.
        SongSettings& s = loaded->song.settings;
        s.~SongSettings();
        new (&s) SongSettings();
        log.messages.clear();
        loaded->song.slots[0].patterns[0].SetName("Before"); // a load changes it
        const bool whole = loaded->LoadProject(path.c_str());
        ExpectOutcome(length, *loaded, whole, log);
        if (HasFatalFailure()) {
            return;
        }
    }
    EXPECT_GT(refused, 200); // both kinds of cut were tried
    EXPECT_GT(cuts.size() - refused, 30u);
}

TEST_F(ProjectPrefixTest, TheWholeFileLoadsWhole) {
    auto loaded = MakeEngine();
    const std::string path = folder + "/full.vpf";
    ASSERT_TRUE(loaded->LoadProject(path.c_str()));
    ASSERT_TRUE(loaded->SaveProject((folder + "/again.vpf").c_str()));
    EXPECT_EQ(original, ReadBytes(folder + "/again.vpf"));
}

} // namespace
} // namespace vantreel::test
