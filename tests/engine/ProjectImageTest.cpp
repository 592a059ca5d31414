// The project image is built under the lock, but what it has to tell the user is
// shown after the lock is let go: a box waiting for its OK must not silence the sound.

#include "EngineFixture.h"

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace vantreel::test {
namespace {

// A plug-in that keeps its state as a chunk but hands out none it could be saved by.
VstIntPtr RefusesItsChunk(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == effGetChunk ? -1 : 0;
}

class ProjectImageTest : public EngineFixture {};

TEST_F(ProjectImageTest, AWarningAboutAPluginsStateIsShownWithTheLockFree) {
    FakePlugin& fake = Install(3);
    fake.effect.flags |= effFlagsProgramChunks;
    fake.effect.dispatcher = &RefusesItsChunk;
    int warnings = 0;
    bool lockFreeWhileShown = false;
    engine->reporter.SetHandler([&](const UserMessage& message) {
        ++warnings;
        EXPECT_NE(std::string::npos, message.text.find("no usable state chunk")) << message.text;
        // The audio thread's view: could it take the lock now?
        std::thread audio([&] {
            if (engine->lock.try_lock()) {
                lockFreeWhileShown = true;
                engine->lock.unlock();
            }
        });
        audio.join();
    });
    ProjectImage image;
    EXPECT_TRUE(engine->BuildProjectImage(image));
    EXPECT_EQ(1u, image.warnings.size());
    EXPECT_EQ(0, warnings) << "building an image shows nothing itself";

    char path[] = "/tmp/vantreel-image-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_TRUE(engine->SaveProject(path));
    EXPECT_EQ(1, warnings);
    EXPECT_TRUE(lockFreeWhileShown);
    std::remove((std::string(path) + ".vpf").c_str());
    std::remove(path);
}

} // namespace
} // namespace vantreel::test
