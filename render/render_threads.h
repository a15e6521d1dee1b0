#pragma once
// The threads a frame's bands are drawn on: the calling thread and a few workers, started once
// and kept. A frame hands them its bands and returns only when every band is drawn, so no
// drawing outlives the call.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "canvas/device_context.h"
#include "canvas/row_coverage.h"

namespace vantrel {

// Most threads a frame is drawn on.
inline constexpr std::int32_t kMostRenderThreads = 8;

// Threads for frames: VANTREL_RENDER_THREADS when it is a whole number 1 .. 8, else one per
// hardware thread up to 8. Any other value of the variable is ignored with one line on stderr.
std::int32_t DefaultRenderThreadCount();
// The count a value of VANTREL_RENDER_THREADS asks for: 1 .. 8; 0 for anything else.
std::int32_t RenderThreadCountFrom(const char* value);

// One thread's drawing state: a context over a bitmap that is pointed at each band's rows, and
// the rows' coverage for shapes drawn nearest first.
struct BandContext {
    DcHandle dc = nullptr;
    ObjectHandle bitmap = nullptr;
    RowCoverage* coverage = nullptr;
};

// A frame's bands, drawn in any order on any of the threads; each band must touch only its own
// pixels and the context it is given.
class BandJob {
public:
    virtual void DrawBand(BandContext& context, std::int32_t band) const = 0;

protected:
    ~BandJob() = default;
};

class RenderThreads {
public:
    // count drawing threads in all, the caller of Run among them: count - 1 workers, started by
    // the first Run that has bands for them. The contexts are made here.
    explicit RenderThreads(std::int32_t count);
    ~RenderThreads();
    RenderThreads(const RenderThreads&) = delete;
    RenderThreads& operator=(const RenderThreads&) = delete;

    std::int32_t Count() const { return count_; }
    // Draws bands 0 .. bandCount - 1 and returns once all are drawn. Allocates nothing.
    void Run(const BandJob& job, std::int32_t bandCount);

private:
    void Work(std::int32_t index);
    // Draws bands of the frame numbered generation until none is left to take.
    void DrawBands(std::int32_t index, std::uint32_t generation, const BandJob* job, std::int32_t bandCount);

    std::int32_t count_ = 1;
    bool stayAwake_ = false;  // no more threads than cores: workers spin a moment for the next job
    bool started_ = false;
    BandContext contexts_[kMostRenderThreads];
    std::unique_ptr<RowCoverage[]> coverage_;  // one per context
    std::thread workers_[kMostRenderThreads - 1];
    std::mutex mutex_;
    std::condition_variable start_;
    std::condition_variable finished_;
    // The frame handed out last (its number, job and band count), set under the mutex.
    std::uint32_t generation_ = 0;
    const BandJob* job_ = nullptr;
    std::int32_t bandCount_ = 0;
    bool stopping_ = false;
    // The frame's number in the high half, the next band to take in the low half: a worker that
    // wakes after its frame has ended sees another number and takes nothing.
    std::atomic<std::uint64_t> ticket_{0};
    std::atomic<std::int32_t> bandsLeft_{0};  // bands not yet drawn; the frame returns at 0
};

// Lists shorter than this are worked through on the calling thread alone: waking another costs more.
inline constexpr std::int64_t kLeastSharedList = 2048;

// The parts a job over a list of this many entries is cut into: two a thread, or one for a short list.
inline std::int32_t ListParts(const RenderThreads& threads, std::int64_t entries) {
    return threads.Count() > 1 && entries >= kLeastSharedList ? 2 * threads.Count() : 1;
}

// Calls part(0) .. part(count - 1) on the threads, as Run draws bands, and returns once all are
// done; the parts must touch disjoint data.
template <typename Part>
void RunParts(RenderThreads& threads, std::int32_t count, const Part& part) {
    struct PartJob final : BandJob {
        explicit PartJob(const Part& p) : part(p) {}
        void DrawBand(BandContext&, std::int32_t index) const override { part(index); }
        const Part& part;
    };
    threads.Run(PartJob(part), count);
}

}  // namespace vantrel
