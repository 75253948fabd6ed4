#include "refhost/app/frame_writer.h"

#include <algorithm>

namespace keypose_host {

FrameWriter::FrameWriter(unsigned workers, std::size_t waiting, int level)
    : fLevel(level), fWaiting(std::max<std::size_t>(1, waiting)) {
    for (unsigned i = 0; i < std::max(1u, workers); ++i) {
        fWorkers.emplace_back([this] { Work(); });
    }
}

FrameWriter::~FrameWriter() {
    {
        std::lock_guard const lock(fMutex);
        fStopping = true;
    }
    fChanged.notify_all();
    for (std::thread& worker : fWorkers) {
        worker.join();
    }
}

unsigned FrameWriter::DefaultWorkers() {
    unsigned const processors = std::thread::hardware_concurrency();
    return processors > 2 ? processors - 1 : 1;
}

void FrameWriter::Write(std::string path, refhost::Bitmap image, PngText text) {
    std::unique_lock lock(fMutex);
    fChanged.wait(lock, [this] { return fQueue.size() < fWaiting || fFailure; });
    ThrowFailure();
    fQueue.push_back({std::move(path), std::move(image), std::move(text)});
    lock.unlock();
    fChanged.notify_all();
}

void FrameWriter::Finish() {
    std::unique_lock lock(fMutex);
    fChanged.wait(lock, [this] { return (fQueue.empty() && fBusy == 0) || fFailure; });
    ThrowFailure();
}

void FrameWriter::ThrowFailure() {
    if (fFailure) {
        std::rethrow_exception(fFailure);
    }
}

void FrameWriter::Work() {
    std::unique_lock lock(fMutex);
    for (;;) {
        fChanged.wait(lock, [this] { return !fQueue.empty() || fStopping; });
        if (fFailure) {
            // After a failure nothing more is written: the render stops at its next Write.
            fQueue.clear();
            fChanged.notify_all();
        }
        if (fQueue.empty()) {
            if (fStopping) {
                return;
            }
            continue;
        }
        Job job = std::move(fQueue.front());
        fQueue.pop_front();
        ++fBusy;
        lock.unlock();
        fChanged.notify_all();
        std::exception_ptr failure;
        try {
            WritePng(job.path, job.image, job.text, fLevel);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        --fBusy;
        if (failure && !fFailure) {
            fFailure = failure;
        }
        fChanged.notify_all();
    }
}

} // namespace keypose_host
