// The control panel's texts, conversions and buttons, on the engine and our probe
// plug-in, without widgets.

#include "PanelTestSupport.h"

#include "shell/PanelLogic.h"

#include <cmath>
#include <limits>

namespace vantreel::test {
namespace {

TEST(PanelTexts, FormatsSlotProgramParameterAndDescription) {
    EXPECT_EQ(SlotText(0, "Not instanced"), "00: Not instanced");
    EXPECT_EQ(SlotText(15, "Kars-vst.so"), "15: Kars-vst.so");
    EXPECT_EQ(IndexedText(5, "Lead"), "05: Lead");
    EXPECT_EQ(IndexedText(0x1A, "Cutoff"), "1A: Cutoff");
    EXPECT_EQ(IndexedText(0x123, ""), "123: ");
    EXPECT_EQ(DescriptionText("-6.0", "dB"), "-6.0 dB");
    EXPECT_EQ(CpuText(37), "37%");
    EXPECT_EQ(PatternLengthText(64), "64 lines");
}

TEST(PanelTexts, TempoShowsTwoDecimalsOfTheEngineTempo) {
    AudioEngine engine(OutputMode::CallerDriven);
    const auto textAt = [&](int lineLength) {
        engine.song.settings.lineLength = lineLength;
        return TempoText(engine.GetTempo());
    };
    EXPECT_EQ(textAt(5292), "125.00");
    EXPECT_EQ(textAt(5512), "120.01");
    EXPECT_EQ(textAt(16384), "40.37");
    EXPECT_EQ(textAt(1000), "661.50");
}

TEST(DelayCalculator, ReportsSixLineMultiplesWithSixDecimals) {
    EXPECT_EQ(DelayCalculatorText(4410),
              "At current tempo [150.000000 BPM]:\n\n"
              "x1 Line = 100.000000 ms.\nx2 Lines = 200.000000 ms.\nx3 Lines = 300.000000 ms.\n"
              "x4 Lines = 400.000000 ms.\nx5 Lines = 500.000000 ms.\nx6 Lines = 600.000000 ms.\n");
    const std::string at5512 = DelayCalculatorText(5512);
    EXPECT_EQ(at5512.substr(0, 36), "At current tempo [120.010885 BPM]:\n\n");
    EXPECT_NE(at5512.find("x1 Line = 124.988662 ms.\n"), std::string::npos);
}

TEST(ParameterSlider, ConvertsBothWays) {
    EXPECT_EQ(ParameterFromSlider(128), 0.5f);
    EXPECT_EQ(ParameterFromSlider(256), 1.0f);
    EXPECT_EQ(ParameterFromSlider(0), 0.0f);
    EXPECT_EQ(ParameterSliderPosition(0.999f), 255);
    EXPECT_EQ(ParameterSliderPosition(0.5f), 128);
    EXPECT_EQ(ParameterSliderPosition(1.0f), 256);
    // A plug-in answering nonsense cannot push the slider off its scale.
    EXPECT_EQ(ParameterSliderPosition(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(ParameterSliderPosition(1e30f), 256);
    EXPECT_EQ(ParameterSliderPosition(-3.0f), 0);
}

class PanelLogicTest : public PanelEngineTest {};

TEST_F(PanelLogicTest, SlotStepsWrapAndStartAtTheFirstParameter) {
    engine->editor.currentParameter = 3;
    StepSlot(*engine, -1);
    EXPECT_EQ(engine->editor.currentSlot, 15);
    EXPECT_EQ(engine->editor.currentParameter, 0);
    engine->editor.currentParameter = 2;
    StepSlot(*engine, 1);
    EXPECT_EQ(engine->editor.currentSlot, 0);
    EXPECT_EQ(engine->editor.currentParameter, 0);
}

// The slot index is shared and may be damaged: the buttons and the texts stay inside
// the slots, stepping from the nearest one as the arrangement's keys do.
TEST_F(PanelLogicTest, ADamagedSlotIndexStepsOntoASlot) {
    engine->editor.currentSlot = 40;
    StepSlot(*engine, 1);
    EXPECT_EQ(engine->editor.currentSlot, 0);
    engine->editor.currentSlot = -7;
    StepSlot(*engine, -1);
    EXPECT_EQ(engine->editor.currentSlot, 15);
    engine->editor.currentSlot = 40;
    EXPECT_EQ(ReadPluginPanelTexts(*engine).slot, "15: Not instanced");
}

TEST_F(PanelLogicTest, EmptySlotShowsDashesAndLeavesTheValueAlone) {
    const PluginPanelTexts texts = ReadPluginPanelTexts(*engine);
    EXPECT_EQ(texts.slot, "00: Not instanced");
    EXPECT_EQ(texts.program, "---");
    EXPECT_EQ(texts.parameter, "---");
    EXPECT_EQ(texts.description, "---");
    EXPECT_FALSE(texts.parameterPosition.has_value());
}

TEST_F(PanelLogicTest, ASlotWhosePluginWasMissingSaysSo) {
    MissingPluginRecord& missing = engine->missingPlugins[6];
    missing.kept = true;
    missing.bytes.assign(kTextSize + 16, 0);
    const std::string name = "Elsewhere.so";
    std::copy(name.begin(), name.end(), missing.bytes.begin());
    engine->editor.currentSlot = 6;
    EXPECT_EQ(ReadPluginPanelTexts(*engine).slot, "06: Elsewhere.so (missing)");
    EXPECT_EQ(ReadPluginPanelTexts(*engine).program, "---");
    missing.Clear();
    EXPECT_EQ(ReadPluginPanelTexts(*engine).slot, "06: Not instanced");
}

TEST_F(PanelLogicTest, PluginTextsComeFromTheCurrentSlotsPlugin) {
    LoadProbe(3);
    engine->editor.currentParameter = 1;
    const PluginPanelTexts texts = ReadPluginPanelTexts(*engine);
    EXPECT_EQ(texts.slot, "03: VantreelProbe.so");
    EXPECT_EQ(texts.program.substr(0, 4), "00: ");
    EXPECT_EQ(texts.parameter.substr(0, 4), "01: ");
    ASSERT_TRUE(texts.parameterPosition.has_value());
    EXPECT_EQ(*texts.parameterPosition, ParameterSliderPosition(Parameter(1, 3)));
}

TEST_F(PanelLogicTest, AParameterIndexBeyondThePluginIsBroughtBackBeforeAsking) {
    LoadProbe();
    engine->editor.currentParameter = 40; // left over from a plug-in with more parameters
    const PluginPanelTexts texts = ReadPluginPanelTexts(*engine);
    EXPECT_EQ(engine->editor.currentParameter, probe::kProbeParameterCount - 1);
    EXPECT_EQ(texts.parameter.substr(0, 4), "03: ");
    for (const probe::DispatchRecord& call : Log().dispatches.Snapshot()) {
        EXPECT_LT(call.index, probe::kProbeParameterCount) << "opcode " << call.opcode;
    }
    for (const probe::ParameterRecord& call : Log().parameters.Snapshot()) {
        EXPECT_LT(call.index, probe::kProbeParameterCount);
    }
}

TEST_F(PanelLogicTest, ProgramButtonsStayWithinThePluginsPrograms) {
    LoadProbe();
    StepProgram(*engine, -1);
    EXPECT_EQ(Program(), 0);
    EXPECT_TRUE(Log().DispatchesOf(effSetProgram).empty()) << "program 0 has no predecessor";
    for (int step = 0; step < probe::kProbeProgramCount + 2; ++step) {
        StepProgram(*engine, 1);
    }
    EXPECT_EQ(Program(), probe::kProbeProgramCount - 1);
    for (const probe::DispatchRecord& call : Log().DispatchesOf(effSetProgram)) {
        EXPECT_LT(call.value, probe::kProbeProgramCount);
    }
    StepProgram(*engine, -1);
    EXPECT_EQ(Program(), probe::kProbeProgramCount - 2);
}

TEST_F(PanelLogicTest, ParameterButtonsStopAtBothEnds) {
    StepParameter(*engine, 1); // an empty slot has no parameters to step through
    EXPECT_EQ(engine->editor.currentParameter, 0);
    LoadProbe();
    StepParameter(*engine, -1);
    EXPECT_EQ(engine->editor.currentParameter, 0);
    for (int step = 0; step < probe::kProbeParameterCount + 3; ++step) {
        StepParameter(*engine, 1);
    }
    EXPECT_EQ(engine->editor.currentParameter, probe::kProbeParameterCount - 1);
}

TEST_F(PanelLogicTest, ProgramAndValueButtonsDoNothingOnAnEmptySlot) {
    LoadProbe(1);
    engine->editor.currentSlot = 0;
    StepProgram(*engine, 1);
    RandomiseParameters(*engine, [] { return 1234; });
    SetParameterFromSlider(*engine, 64);
    EXPECT_TRUE(Log(1).DispatchesOf(effSetProgram).empty());
    EXPECT_EQ(Log(1).parameters.Size(), 0);
}

TEST_F(PanelLogicTest, RandomParametersAreSetInOrderAndNeverReachOne) {
    LoadProbe();
    RandomiseParameters(*engine, [] { return 32767; });
    const auto calls = Log().parameters.Snapshot();
    ASSERT_EQ(int(calls.size()), probe::kProbeParameterCount);
    for (int i = 0; i < probe::kProbeParameterCount; ++i) {
        EXPECT_TRUE(calls[i].isSet);
        EXPECT_EQ(calls[i].index, i);
        EXPECT_EQ(calls[i].value, 32767.0f / 32768.0f);
        EXPECT_LT(calls[i].value, 1.0f);
    }
    // The program's own generator gives 15-bit numbers only.
    for (int draw = 0; draw < 100000; ++draw) {
        const int r = NextRandom15();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

TEST_F(PanelLogicTest, SliderValueGoesToTheCurrentParameter) {
    LoadProbe();
    engine->editor.currentParameter = 2;
    SetParameterFromSlider(*engine, 128);
    const auto calls = Log().parameters.Snapshot();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].isSet);
    EXPECT_EQ(calls[0].index, 2);
    EXPECT_EQ(calls[0].value, 0.5f);
}

} // namespace
} // namespace vantreel::test
