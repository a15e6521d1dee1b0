#include "render/render_threads.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "canvas/drawing.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace vantrel {
namespace {

// How long a worker stays awake for the next job once it has done its share of one.
constexpr std::int64_t kAwakeMicroseconds = 200;

// Tells the core this thread is waiting on memory another writes, so it spins gently.
void SpinPause() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#else
    std::this_thread::yield();
#endif
}

std::int32_t HardwareThreads() {
    const unsigned hardware = std::thread::hardware_concurrency();
    if (hardware == 0) return 1;  // unknown: stay on the calling thread
    return hardware > static_cast<unsigned>(kMostRenderThreads) ? kMostRenderThreads
                                                                 : static_cast<std::int32_t>(hardware);
}

std::int32_t ThreadCountFromEnvironment() {
    const char* text = std::getenv("VANTREL_RENDER_THREADS");
    if (text == nullptr) return HardwareThreads();
    if (const std::int32_t count = RenderThreadCountFrom(text)) return count;
    std::fprintf(stderr, "vantrel: VANTREL_RENDER_THREADS=\"%.40s\" ignored: give a number from 1 to %d\n", text,
                 kMostRenderThreads);
    return HardwareThreads();
}

}  // namespace

std::int32_t RenderThreadCountFrom(const char* value) {
    if (value == nullptr || std::strlen(value) != 1 || value[0] < '1' || value[0] > '0' + kMostRenderThreads) return 0;
    return value[0] - '0';
}

std::int32_t DefaultRenderThreadCount() {
    static const std::int32_t count = ThreadCountFromEnvironment();
    return count;
}

RenderThreads::RenderThreads(std::int32_t count)
    : count_(count < 1 ? 1 : count > kMostRenderThreads ? kMostRenderThreads : count),
      stayAwake_(count_ <= HardwareThreads()),
      coverage_(std::make_unique<RowCoverage[]>(static_cast<std::size_t>(count_))) {
    for (std::int32_t k = 0; k < count_; ++k) {
        contexts_[k].coverage = &coverage_[k];
        contexts_[k].dc = CreateCompatibleDC(nullptr);
        // A placeholder surface; each band points the bitmap at its own rows before drawing.
        static std::uint32_t placeholder = 0;
        contexts_[k].bitmap = CreateBitmapOver(Surface{1, 1, 1, &placeholder});
        SelectObject(contexts_[k].dc, contexts_[k].bitmap);
    }
}

RenderThreads::~RenderThreads() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    start_.notify_all();
    for (std::int32_t k = 1; started_ && k < count_; ++k) workers_[k - 1].join();
    for (std::int32_t k = 0; k < count_; ++k) {
        DeleteDC(contexts_[k].dc);  // releases the bitmap, which may then be deleted
        DeleteObject(contexts_[k].bitmap);
    }
}

void RenderThreads::Run(const BandJob& job, std::int32_t bandCount) {
    if (count_ == 1 || bandCount <= 1) {
        for (std::int32_t band = 0; band < bandCount; ++band) job.DrawBand(contexts_[0], band);
        return;
    }
    if (!started_) {
        started_ = true;
        for (std::int32_t k = 1; k < count_; ++k) workers_[k - 1] = std::thread([this, k] { Work(k); });
    }
    std::uint32_t generation = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        generation = ++generation_;
        job_ = &job;
        bandCount_ = bandCount;
        bandsLeft_.store(bandCount, std::memory_order_relaxed);
        ticket_.store(std::uint64_t{generation} << 32, std::memory_order_release);
    }
    start_.notify_all();
    DrawBands(0, generation, &job, bandCount);
    // Only bands being drawn are waited for, not workers still waking up.
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [this] { return bandsLeft_.load(std::memory_order_acquire) == 0; });
}

void RenderThreads::DrawBands(std::int32_t index, std::uint32_t generation, const BandJob* job,
                              std::int32_t bandCount) {
    std::uint64_t ticket = ticket_.load(std::memory_order_acquire);
    for (;;) {
        const std::uint64_t band = ticket & 0xFFFFFFFFu;
        if (ticket >> 32 != generation || band >= static_cast<std::uint64_t>(bandCount)) return;
        if (!ticket_.compare_exchange_weak(ticket, ticket + 1, std::memory_order_acq_rel)) continue;
        // A band taken keeps the frame, and so its job, alive until it is counted off.
        job->DrawBand(contexts_[index], static_cast<std::int32_t>(band));
        if (bandsLeft_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_.notify_one();
        }
        ticket = ticket_.load(std::memory_order_acquire);
    }
}

void RenderThreads::Work(std::int32_t index) {
    std::uint32_t seen = 0;
    for (;;) {
        const BandJob* job = nullptr;
        std::int32_t bandCount = 0;
        // A frame hands out several jobs in a row: wait for the next one awake for a moment
        // before sleeping, as waking a thread takes longer than most of them; not where the
        // threads outnumber the cores, where a spinning one would keep the frame's own thread waiting.
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::microseconds(stayAwake_ ? kAwakeMicroseconds : 0);
        while (ticket_.load(std::memory_order_acquire) >> 32 == seen &&
               std::chrono::steady_clock::now() < until) {
            SpinPause();
        }
        {
            std::unique_lock<std::mutex> lock(mutex_);
            start_.wait(lock, [this, seen] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
            job = job_;
            bandCount = bandCount_;
        }
        DrawBands(index, seen, job, bandCount);
    }
}

}  // namespace vantrel
