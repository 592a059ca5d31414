#include "engine/Autosave.h"

#include "engine/AudioEngine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vantreel {

std::chrono::seconds AutosaveInterval() {
    const char* text = std::getenv(kAutosaveIntervalVariable);
    if (text == nullptr || *text == '\0') {
        return kDefaultAutosaveInterval;
    }
    char* end = nullptr;
    const long seconds = std::strtol(text, &end, 10);
    if (*end != '\0' || seconds <= 0 || seconds > 24 * 3600) {
        return kDefaultAutosaveInterval;
    }
    return std::chrono::seconds(seconds);
}

Autosave::Autosave(AudioEngine& engine, std::string songPath, std::chrono::seconds interval)
    : engine(engine), songPath(std::move(songPath)), interval(interval), writer(this->songPath) {}

bool Autosave::Tick(AutosaveClock::time_point now) {
    if (!engine.modified.IsModified()) {
        // Saved, or a new or opened song: an older image would only mislead a restore.
        if (fileOnDisk) {
            writer.Remove();
            fileOnDisk = false;
        }
        return false;
    }
    if (fileOnDisk && engine.modified.Revision() == imageRevision) {
        return false;
    }
    if (lastImage && now - *lastImage < interval) {
        return false;
    }
    lastImage = now; // also after a failure: the next attempt waits its turn
    return WriteImage();
}

bool Autosave::WriteImage() {
    ProjectImage image;
    image.bytes = writer.TakeSpare();
    if (!engine.BuildProjectImage(image)) {
        std::fprintf(stderr, "Vantreel: the song could not be autosaved: %s\n",
                     image.problem.c_str());
        return false;
    }
    writer.Write(std::move(image.bytes));
    imageRevision = engine.modified.Revision();
    fileOnDisk = true;
    return true;
}

void Autosave::Adopted() {
    imageRevision = engine.modified.Revision();
    fileOnDisk = true;
}

void Autosave::Close() {
    if (!engine.modified.IsModified()) {
        writer.Remove();
    } else if (!fileOnDisk || engine.modified.Revision() != imageRevision) {
        WriteImage();
    }
    writer.Finish();
    if (!writer.LastError().empty()) {
        std::fprintf(stderr, "Vantreel: the unsaved song could not be kept in %s: %s\n",
                     songPath.c_str(), writer.LastError().c_str());
    }
}

} // namespace vantreel
