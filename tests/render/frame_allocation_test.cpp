#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "frame_fixture.h"
#include "geometry/random.h"
#include "objects/command_ids.h"
#include "objects/object_commands.h"
#include "render/draw_scene.h"

// Every allocation of this test program is counted, so a test can see what one frame allocates.
namespace {
std::atomic<long> allocationCount{0};

void* CountedAllocation(std::size_t size) {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

// Kept out of line: a free the compiler sees next to its own operator new reads as a mismatch.
[[gnu::noinline]] void CountedRelease(void* memory) { std::free(memory); }
}  // namespace

void* operator new(std::size_t size) {
    void* memory = CountedAllocation(size);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void operator delete(void* memory) noexcept { CountedRelease(memory); }
void operator delete[](void* memory) noexcept { CountedRelease(memory); }
void operator delete(void* memory, std::size_t) noexcept { CountedRelease(memory); }
void operator delete[](void* memory, std::size_t) noexcept { CountedRelease(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { CountedRelease(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { CountedRelease(memory); }

namespace vantrel {
namespace {

TEST(RenderFrame, AllocatesNothingInAnyModeOnceRunning) {
    FrameFixture f({160, 120});
    Random random;
    RandomSeed(random, 3600.0);
    RunObjectCommand(*f.scene, random, kCommandTorus);
    f.Render();  // the first frame builds the cached matrices and leaves pen and brush storage to reuse
    for (std::int32_t mode = kModeWireframe; mode <= kModeGradient; ++mode) {
        f.camera().renderMode = mode;
        OrbitCamera(*f.scene, 1, {}, 200, 0.3f * float(mode), 0.4f);
        f.Background();
        const long before = allocationCount.load();
        f.Render();
        const long allocations = allocationCount.load() - before;
        std::int32_t listed = 0;
        while (f.work->drawList[listed] != 0) ++listed;
        ASSERT_GT(listed, 20);
        // The filled modes still create and delete a brush per listed face, in reused storage.
        EXPECT_EQ(allocations, 0) << "mode " << mode;
    }
}

}  // namespace
}  // namespace vantrel
