// Writes a render's frames as PNG files on worker threads while the next frames are drawn,
// holding only a few frames at a time: the drawing thread waits when the workers fall behind,
// so memory stays bounded however long the render.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "refhost/app/png_file.h"
#include "refhost/toolkit/render.h"

namespace keypose_host {

class FrameWriter {
public:
    // `workers` threads (at least one), at most `waiting` frames queued beyond those being
    // written; PNGs at compression level `level`.
    FrameWriter(unsigned workers, std::size_t waiting, int level = kFastPng);
    // Writes what is queued, then stops the workers. A failure not yet reported is dropped:
    // call Finish to hear of it.
    ~FrameWriter();
    FrameWriter(FrameWriter const&) = delete;
    FrameWriter& operator=(FrameWriter const&) = delete;

    // Queues the image for path, waiting while the queue is full. Throws the first failure
    // of an earlier write (std::runtime_error with the path and reason); nothing more is
    // written after one.
    void Write(std::string path, refhost::Bitmap image, PngText text = {});
    // Waits until every queued frame is written; throws the first failure, as Write does.
    void Finish();

    // The workers a render uses on this machine: one processor is left to the drawing.
    static unsigned DefaultWorkers();

private:
    struct Job {
        std::string path;
        refhost::Bitmap image;
        PngText text;
    };

    void Work();
    void ThrowFailure();

    int fLevel;
    std::size_t fWaiting;
    std::mutex fMutex;
    std::condition_variable fChanged;
    std::deque<Job> fQueue;
    std::size_t fBusy = 0;
    bool fStopping = false;
    std::exception_ptr fFailure;
    std::vector<std::thread> fWorkers;
};

} // namespace keypose_host
