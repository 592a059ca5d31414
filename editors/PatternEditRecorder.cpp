#include "editors/PatternEditRecorder.h"

#include "editors/EditorStateAccess.h"
#include "editors/UndoHistory.h"

#include <utility>

namespace vantreel {

PatternEditRecorder::PatternEditRecorder(AudioEngine& engine, UndoHistory* history, EditKind kind)
    : PatternEditRecorder(engine, history, kind, CurrentSlotIndex(engine),
                          CurrentPatternIndex(engine), CurrentPatternIndex(engine)) {}

PatternEditRecorder::PatternEditRecorder(AudioEngine& engine, UndoHistory* history, EditKind kind,
                                         int slot, int first, int last)
    : engine(engine), history(history) {
    if (history == nullptr) {
        return;
    }
    step.kind = kind;
    step.place = CurrentEditPlace(engine);
    before.emplace(engine, slot, first, last);
}

void PatternEditRecorder::Commit() {
    if (history == nullptr || !before) {
        return;
    }
    before->AddChanges(engine, step);
    before.reset();
    history->Record(std::move(step));
}

} // namespace vantreel
