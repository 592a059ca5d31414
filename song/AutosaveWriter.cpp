#include "song/AutosaveWriter.h"

#include "song/AtomicFileWriter.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace vantreel {

AutosaveWriter::AutosaveWriter(std::string path)
    : path(std::move(path)), thread([this] { Run(); }) {}

AutosaveWriter::~AutosaveWriter() {
    {
        std::lock_guard<std::mutex> guard(mutex);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

void AutosaveWriter::Write(std::vector<uint8_t> bytes) {
    Hand(Job::Write, std::move(bytes));
}

void AutosaveWriter::Remove() {
    Hand(Job::Remove, {});
}

void AutosaveWriter::Hand(Job job, std::vector<uint8_t> bytes) {
    std::vector<uint8_t> replaced; // freed after the mutex is let go
    {
        std::lock_guard<std::mutex> guard(mutex);
        replaced.swap(pendingBytes);
        pendingBytes = std::move(bytes);
        pending = job;
    }
    changed.notify_all();
}

void AutosaveWriter::Finish() {
    std::unique_lock<std::mutex> guard(mutex);
    changed.wait(guard, [this] { return pending == Job::None && !busy; });
}

std::vector<uint8_t> AutosaveWriter::TakeSpare() {
    std::lock_guard<std::mutex> guard(mutex);
    return std::move(spare);
}

uint64_t AutosaveWriter::Completed() const {
    std::lock_guard<std::mutex> guard(mutex);
    return completed;
}

std::string AutosaveWriter::LastError() const {
    std::lock_guard<std::mutex> guard(mutex);
    return lastError;
}

void AutosaveWriter::Run() {
    std::unique_lock<std::mutex> guard(mutex);
    for (;;) {
        changed.wait(guard, [this] { return pending != Job::None || stopping; });
        if (pending == Job::None) {
            return; // stopping, with nothing left to do
        }
        const Job job = pending;
        std::vector<uint8_t> bytes = std::move(pendingBytes);
        pendingBytes.clear();
        pending = Job::None;
        busy = true;
        guard.unlock();

        std::string error;
        if (job == Job::Write) {
            WriteFileAtomically(path, bytes.data(), bytes.size(), error);
        } else if (unlink(path.c_str()) != 0 && errno != ENOENT) {
            error = std::strerror(errno);
        }
        bytes.clear(); // the capacity stays for the next image

        guard.lock();
        spare = std::move(bytes);
        busy = false;
        ++completed;
        lastError = error;
        changed.notify_all();
    }
}

} // namespace vantreel
