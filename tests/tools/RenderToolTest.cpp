// vantreel-render as scripts use it: run as a separate program, judged by its exit
// status, its messages and the file it writes.

#include "ProjectTestSupport.h"

#include <sndfile.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace vantreel::test {
namespace {

const std::string kTool = std::string(VANTREEL_BINARY_DIR) + "/vantreel-render";
const std::string kMakeDemo = std::string(VANTREEL_BINARY_DIR) + "/vantreel-make-demo";
const std::string kDemo = std::string(VANTREEL_EXAMPLES_DIR) + "/demo.vpf";
constexpr int kDemoLines = 64;
constexpr int kDemoLineLength = 5512; // 120 BPM at 44100 Hz

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs `tool` with `args` in `folder`, its output streams into files.
Outcome RunProgram(const std::string& tool, const Scratch& scratch, std::vector<std::string> args,
                   const std::string& folder = std::string()) {
    const std::string out = scratch.Path("stdout.txt");
    const std::string err = scratch.Path("stderr.txt");
    args.insert(args.begin(), tool);
    const pid_t child = fork();
    if (child == 0) {
        if (!folder.empty() && chdir(folder.c_str()) != 0) {
            _exit(120);
        }
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        execv(tool.c_str(), argv.data());
        _exit(121);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(out), ReadText(err)};
}

Outcome RunTool(const Scratch& scratch, std::vector<std::string> args,
                const std::string& folder = std::string()) {
    return RunProgram(kTool, scratch, std::move(args), folder);
}

std::vector<int16_t> Decode(const std::string& path, SF_INFO& info) {
    info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        return {};
    }
    std::vector<int16_t> samples(std::size_t(info.frames) * info.channels);
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

class RenderToolTest : public ::testing::Test {
protected:
    void SetUp() override { UsePrivatePluginEnvironment(scratch); }
    Scratch scratch;
};

TEST_F(RenderToolTest, UsageErrorsExitWithTwoAndTheUsageText) {
    const std::string out = scratch.Path("out.wav");
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {kDemo},
        {kDemo, out, "extra"},
        {kDemo, scratch.Path("out.mp3")},
        {"--lines", "0", kDemo, out},
        {"--lines", "12x", kDemo, out},
        {"--lines", "4", "--seconds", "2", kDemo, out},
        {"--seconds", "0", kDemo, out},
        {"--tail", "-1", kDemo, out},
        {"--pattern", "16:A", kDemo, out},
        {"--pattern", "3:AB", kDemo, out},
        {"--pattern", "3", kDemo, out},
        {"--start", "32768", kDemo, out},
        {"--start", "4", "--pattern", "0:A", kDemo, out},
        {"--frobnicate", kDemo, out},
        {kDemo, out, "--lines"},
        {"--threads", "0", kDemo, out},
        {"--threads", "65", kDemo, out},
        {"--threads", "two", kDemo, out},
    };
    for (const auto& args : wrong) {
        const Outcome outcome = RunTool(scratch, args);
        EXPECT_EQ(2, outcome.status) << ::testing::PrintToString(args);
        EXPECT_NE(std::string::npos, outcome.err.find("Usage: vantreel-render"));
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    const Outcome help = RunTool(scratch, {"--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("--plugin-dir DIR"));
}

// The demo maker takes an option for nothing, and never for the file to write.
TEST_F(RenderToolTest, TheDemoMakerWritesNoFileNamedAfterAnOption) {
    const std::string folder = scratch.Path("here");
    std::filesystem::create_directory(folder);
    const Outcome help = RunProgram(kMakeDemo, scratch, {"--help"}, folder);
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("Usage: vantreel-make-demo"));
    for (const char* wrong : {"--frobnicate", "-o"}) {
        const Outcome outcome = RunProgram(kMakeDemo, scratch, {wrong}, folder);
        EXPECT_EQ(2, outcome.status) << wrong;
        EXPECT_NE(std::string::npos, outcome.err.find("Usage: vantreel-make-demo"));
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(RenderToolTest, TheDemoRendersTheSameTwiceAndAsFlacToTheSameSamples) {
    const std::string first = scratch.Path("first.wav");
    const std::string second = scratch.Path("second.WAV");
    const std::string flac = scratch.Path("demo.flac");
    ASSERT_EQ(0, RunTool(scratch, {kDemo, first}).status);
    ASSERT_EQ(0, RunTool(scratch, {"-q", kDemo, second}).status);
    ASSERT_EQ(0, RunTool(scratch, {kDemo, flac}).status);
    EXPECT_EQ(ReadBytes(first), ReadBytes(second));
    // One thread, or more than there are cores, renders the same file.
    const std::string serial = scratch.Path("serial.wav");
    const std::string many = scratch.Path("many.wav");
    ASSERT_EQ(0, RunTool(scratch, {"--threads", "1", kDemo, serial}).status);
    ASSERT_EQ(0, RunTool(scratch, {"--threads", "5", kDemo, many}).status);
    EXPECT_EQ(ReadBytes(first), ReadBytes(serial));
    EXPECT_EQ(ReadBytes(first), ReadBytes(many));

    SF_INFO wavInfo, flacInfo;
    const std::vector<int16_t> wav = Decode(first, wavInfo);
    EXPECT_EQ((SF_FORMAT_WAV | SF_FORMAT_PCM_16), wavInfo.format);
    EXPECT_EQ((SF_FORMAT_FLAC | SF_FORMAT_PCM_16),
              Decode(flac, flacInfo).empty() ? 0 : flacInfo.format);
    EXPECT_EQ(wav, Decode(flac, flacInfo));
    EXPECT_EQ(44100, wavInfo.samplerate);
    EXPECT_EQ(2, wavInfo.channels);
    EXPECT_EQ(int64_t(kDemoLines) * kDemoLineLength, wavInfo.frames);
    int peak = 0;
    for (int16_t s : wav) {
        peak = std::max(peak, std::abs(int(s)));
    }
    EXPECT_GT(peak, 1000); // the song is heard
}

TEST_F(RenderToolTest, PatternModeLinesAndTailSetTheLength) {
    const std::string out = scratch.Path("bass.wav");
    ASSERT_EQ(0, RunTool(scratch, {"--pattern", "0:b", "--tail", "1", kDemo, out}).status);
    SF_INFO info;
    Decode(out, info);
    EXPECT_EQ(16 * kDemoLineLength + 44100, info.frames);
    ASSERT_EQ(0, RunTool(scratch, {"--start", "16", "--lines", "3", kDemo, out}).status);
    Decode(out, info);
    EXPECT_EQ(3 * kDemoLineLength, info.frames);
    ASSERT_EQ(0, RunTool(scratch, {"--start", "60", kDemo, out}).status);
    Decode(out, info);
    EXPECT_EQ(4 * kDemoLineLength, info.frames); // songEnd - start
}

TEST_F(RenderToolTest, APluginDirIsSearchedFirst) {
    // The project names a plug-in only one folder has.
    auto engine = MakeEngine();
    const std::string own = scratch.Path("own");
    std::filesystem::create_directory(own);
    std::filesystem::copy_file(kPluginDir + "/" + kSynthName, own + "/OnlyHere.so");
    std::strcpy(engine->pluginFolder, own.c_str());
    ASSERT_TRUE(engine->LoadPlugin(0, "OnlyHere.so"));
    const std::string project = scratch.Path("only-here.vpf");
    ASSERT_TRUE(engine->SaveProject(project.c_str()));

    const std::string out = scratch.Path("dir.wav");
    EXPECT_EQ(1, RunTool(scratch, {project, out}).status);
    EXPECT_EQ(0, RunTool(scratch, {"--plugin-dir", own, project, out}).status);
    EXPECT_EQ(0, RunTool(scratch, {"--plugin-dir", "own", project, out}, scratch.Folder()).status);
}

TEST_F(RenderToolTest, AProjectThatCannotLoadWholeOrAnOutputThatCannotBeWrittenExitWithOne) {
    const Outcome missingFile =
        RunTool(scratch, {scratch.Path("nothing.vpf"), scratch.Path("a.wav")});
    EXPECT_EQ(1, missingFile.status);
    EXPECT_NE(std::string::npos, missingFile.err.find("nothing.vpf"));

    // A project naming a plug-in no folder has.
    auto engine = MakeEngine();
    const std::string own = scratch.Path("own");
    std::filesystem::create_directory(own);
    std::filesystem::copy_file(kPluginDir + "/" + kSynthName, own + "/Vanishing.so");
    std::strcpy(engine->pluginFolder, own.c_str());
    ASSERT_TRUE(engine->LoadPlugin(3, "Vanishing.so"));
    const std::string project = scratch.Path("missing.vpf");
    ASSERT_TRUE(engine->SaveProject(project.c_str()));
    std::filesystem::remove(own + "/Vanishing.so");
    const Outcome missing = RunTool(scratch, {project, scratch.Path("b.wav")});
    EXPECT_EQ(1, missing.status);
    EXPECT_NE(std::string::npos, missing.err.find("Vanishing.so"));
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("b.wav")));

    const Outcome unwritable = RunTool(scratch, {kDemo, scratch.Path("no/folder/c.wav")});
    EXPECT_EQ(1, unwritable.status);
    EXPECT_NE(std::string::npos, unwritable.err.find("c.wav"));
}

// The output appears only when the render is complete: a plug-in ending the program
// midway (with a success status) leaves nothing, not even the temporary file.
TEST_F(RenderToolTest, APluginThatEndsTheProgramMidwayFailsTheRenderAndLeavesNoFile) {
    auto engine = MakeEngine();
    const std::string bad = std::string(VANTREEL_BINARY_DIR) + "/testplugins-bad";
    std::strcpy(engine->pluginFolder, bad.c_str());
    ASSERT_TRUE(engine->LoadPlugin(0, "ExitsWhileRendering.so")) << engine->LastPluginError();
    const std::string project = scratch.Path("exits.vpf");
    ASSERT_TRUE(engine->SaveProject(project.c_str()));
    const std::string output = scratch.Path("out") + "/exits.wav";
    std::filesystem::create_directory(scratch.Path("out"));
    const Outcome ended =
        RunTool(scratch, {"--plugin-dir", bad, "--seconds", "10", project, output});
    EXPECT_EQ(1, ended.status);
    EXPECT_NE(std::string::npos, ended.err.find("ended the program")) << ended.err;
    EXPECT_TRUE(std::filesystem::is_empty(scratch.Path("out")));

    const Outcome whole = RunTool(scratch, {kDemo, output});
    EXPECT_EQ(0, whole.status) << whole.err;
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(scratch.Path("out")),
                               std::filesystem::directory_iterator()));
    // The render has the permissions any new file gets, not the temporary file's.
    WriteBytes(scratch.Path("plain"), Bytes{1});
    EXPECT_EQ(std::filesystem::status(scratch.Path("plain")).permissions(),
              std::filesystem::status(output).permissions());
}

TEST_F(RenderToolTest, TheProgressBarShowsOnlyOnATerminal) {
    const Outcome quiet = RunTool(scratch, {kDemo, scratch.Path("p.wav")});
    EXPECT_EQ(std::string::npos, quiet.err.find('%'));
    if (access("/usr/bin/script", X_OK) != 0) {
        GTEST_SKIP() << "no pseudo-terminal runner";
    }
    // script(1) gives the tool a pseudo-terminal for its standard error.
    const std::string command = "/usr/bin/script -qec '" + kTool + " " + kDemo + " " +
                                scratch.Path("t.wav") + "' " + scratch.Path("typescript") +
                                " > /dev/null 2>&1";
    ASSERT_EQ(0, std::system(command.c_str()));
    const std::string shown = ReadText(scratch.Path("typescript"));
    EXPECT_NE(std::string::npos, shown.find("100%"));
    EXPECT_NE(std::string::npos, shown.find("] "));
}

} // namespace
} // namespace vantreel::test
