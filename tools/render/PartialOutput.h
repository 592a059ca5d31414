#pragma once
// The render's output while it is written: a temporary file beside the target, renamed
// over it only once the render is complete, so a failure, a crash or a plug-in that
// ends the program midway never leaves a cut-off file that passes for a render.
//
// While one exists, a plug-in calling exit() makes the program exit with status 1
// (after a message) instead of the status it asked for, and a fatal signal removes the
// temporary file before the program dies. One at a time, on the thread that renders.

#include <string>

namespace vantreel::render {

class PartialOutput {
public:
    PartialOutput() = default;
    ~PartialOutput(); // discards the file unless completed
    PartialOutput(const PartialOutput&) = delete;
    PartialOutput& operator=(const PartialOutput&) = delete;

    // Creates the temporary file for `target`; returns its descriptor, or -1 with the
    // reason in `error`.
    int Create(const std::string& target, std::string& error);
    // Renames the (closed) temporary file over the target.
    bool Complete(std::string& error);
    // Removes the temporary file, if any.
    void Discard();

private:
    std::string target;
    std::string temporary;
};

} // namespace vantreel::render
