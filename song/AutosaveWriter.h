#pragma once
// The background thread that puts autosaved songs on the disk. The user-interface
// thread hands over a finished image (or asks for the file's removal) and goes on at
// once: it takes the hand-over mutex only to swap the job in, and the writer holds
// that mutex only to take the job out, never while it writes. A job not yet started
// is replaced by a newer one, so a slow disk costs at most the in-between images.
//
// Threads: Write, Remove, Finish, TakeSpare and the destructor on the user-interface thread;
// Completed and LastError on any thread.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantreel {

class AutosaveWriter {
public:
    explicit AutosaveWriter(std::string path);
    ~AutosaveWriter(); // finishes what was handed over, then stops the thread
    AutosaveWriter(const AutosaveWriter&) = delete;
    AutosaveWriter& operator=(const AutosaveWriter&) = delete;

    // Replaces the file, atomically, with `bytes`.
    void Write(std::vector<uint8_t> bytes);
    // Removes the file (and cancels a write not yet started).
    void Remove();
    // Waits until every job handed over is done: at exit, when waiting is fine.
    void Finish();
    // A buffer already written, to build the next image in: its pages are in place,
    // so the next image costs no page faults. Empty when none is back yet.
    std::vector<uint8_t> TakeSpare();

    uint64_t Completed() const;    // jobs done, writes and removals
    std::string LastError() const; // "" after a job that worked

private:
    enum class Job { None, Write, Remove };

    void Run();
    void Hand(Job job, std::vector<uint8_t> bytes);

    const std::string path;
    mutable std::mutex mutex;
    std::condition_variable changed;
    Job pending = Job::None;
    std::vector<uint8_t> pendingBytes;
    std::vector<uint8_t> spare;
    bool busy = false;
    bool stopping = false;
    uint64_t completed = 0;
    std::string lastError;
    std::thread thread; // last: starts once everything above exists
};

} // namespace vantreel
