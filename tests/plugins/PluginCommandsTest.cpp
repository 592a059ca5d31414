// The control panel's "Open..." and "Delete" on the engine side, and the plug-in
// texts the panel shows.

#include "engine/PluginCommands.h"
#include "PluginTestSupport.h"
#include "plugins/PluginText.h"

namespace vantreel::test {
namespace {

using PluginCommandsTest = PluginHostTest;

TEST_F(PluginCommandsTest, OpenLoadsIntoTheCurrentSlotAndSaysSo) {
    engine->editor.currentSlot = 7;
    const PluginOpenResult opened = OpenPluginCommand(*engine, kProbeName);
    EXPECT_TRUE(opened.loaded);
    EXPECT_EQ(opened.statusText, std::string("Plugin ") + kProbeName + " instanced ok");
    EXPECT_TRUE(engine->song.slots[7].IsInstanced());

    // Confirming the browser with nothing picked tries "none".
    const PluginOpenResult none = OpenPluginCommand(*engine, kNoSelection);
    EXPECT_FALSE(none.loaded);
    EXPECT_EQ(none.statusText, "Error creating none plugin");
    EXPECT_FALSE(engine->song.slots[7].IsInstanced());
}

class DeleteCommandTest : public PluginHostTest {
protected:
    void SetUp() override {
        PluginHostTest::SetUp();
        engine->editor.currentSlot = 2;
        ASSERT_TRUE(engine->LoadPlugin(2, kProbeName));
        for (int p = 0; p < kPatternsPerSlot; ++p) {
            Pattern& pattern = engine->song.slots[2].patterns[p];
            pattern.SetName("Riff");
            pattern.SetLength(16);
            pattern.SetCell(3, 1, {0x90, 60, 100, 0});
        }
    }
    bool BankIntact() {
        for (const Pattern& pattern : engine->song.slots[2].patterns) {
            if (std::string(pattern.name) != "Riff" || pattern.Length() != 16 ||
                pattern.Cell(3, 1) != EventCell{0x90, 60, 100, 0}) {
                return false;
            }
        }
        return true;
    }
    bool BankCleared() {
        for (const Pattern& pattern : engine->song.slots[2].patterns) {
            if (std::string(pattern.name) != "Untitled" ||
                pattern.Length() != kDefaultPatternLength || pattern.Cell(3, 1) != EventCell{}) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(DeleteCommandTest, AnsweringNoClosesThePluginAndKeepsThePatterns) {
    bool closedWhenAsked = false;
    DeletePluginCommand(*engine, [&] {
        closedWhenAsked = !engine->song.slots[2].IsInstanced();
        return false;
    });
    EXPECT_TRUE(closedWhenAsked); // the question comes after the close
    EXPECT_EQ(SlotName(*engine, 2), "Not instanced");
    EXPECT_TRUE(BankIntact());
}

TEST_F(DeleteCommandTest, AnsweringYesResetsTheWholeBank) {
    DeletePluginCommand(*engine, [] { return true; });
    EXPECT_TRUE(BankCleared());
    // Other slots are untouched.
    EXPECT_STREQ(engine->song.slots[3].patterns[0].name, "Untitled");
}

TEST_F(DeleteCommandTest, TheQuestionIsAskedAlsoForAnEmptySlot) {
    engine->UnloadPlugin(2);
    int asked = 0;
    DeletePluginCommand(*engine, [&] {
        ++asked;
        return true;
    });
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(BankCleared());
}

TEST_F(PluginCommandsTest, PanelTextsComeFromThePlugin) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    AEffect* e = engine->effect[0];
    EXPECT_EQ(GetProgramName(e), "Probe A");
    EXPECT_EQ(GetParamName(e, 0), "Level");
    EXPECT_EQ(GetParamLabel(e, 0), "amp");
    EXPECT_EQ(GetParamDisplay(e, 1), "0.110");
    EXPECT_EQ(GetParamName(nullptr, 0), "");
    // Every text call got a real buffer.
    for (const auto& call : LogOf(0)->DispatchesOf(effGetParamName)) {
        EXPECT_TRUE(call.hasPtr);
    }
}

// A plug-in that writes far past the nominal text lengths, as many do.
struct VerbosePlugin {
    static constexpr size_t kWritten = 300;
    AEffect effect{};
    VerbosePlugin() {
        effect.magic = kEffectMagic;
        effect.dispatcher = [](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr,
                               float) -> VstIntPtr {
            if (opcode == effGetParamName) {
                std::memset(ptr, 'n', kWritten);
                static_cast<char*>(ptr)[kWritten] = '\0';
            }
            if (opcode == effGetProgramName) {
                // Fills everything offered and leaves no terminator.
                std::memset(ptr, 'p', kPluginTextBufferSize);
            }
            return 0;
        };
    }
};

TEST(PluginTextTest, OverlongTextsStayInTheBufferAndAreCutToWhatIsShown) {
    VerbosePlugin plugin;
    EXPECT_EQ(GetParamName(&plugin.effect, 0), std::string(kShownPluginTextLength, 'n'));
    EXPECT_EQ(GetProgramName(&plugin.effect), std::string(kShownPluginTextLength, 'p'));
    // A plug-in that writes nothing leaves the zeroed buffer: an empty text.
    EXPECT_EQ(GetParamLabel(&plugin.effect, 0), "");
}

} // namespace
} // namespace vantreel::test
