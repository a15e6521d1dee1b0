// Reads and reorders depthKeys and drawList.
#include "render/depth_sort.h"

#include <algorithm>
#include <utility>

#include "render/render_threads.h"

namespace vantrel {

namespace {

// Positions looked at per block while the unscanned middle of a partition is wide.
constexpr std::int32_t kSortBlock = 16;

// The partition's scans and swaps while at least two blocks lie between the scans: the
// positions where each scan would stop are found a block at a time without branching on the
// keys, then swapped pairwise in the order the scans would reach them. On return, i and j are
// where the scans resume after the last swap, as if each stop had been reached one by one.
void PartitionWideMiddle(float* keys, std::int32_t* faces, float pivot, std::int32_t& i, std::int32_t& j) {
    std::int32_t leftStops[kSortBlock], rightStops[kSortBlock];
    std::int32_t leftCount = 0, leftNext = 0, rightCount = 0, rightNext = 0;
    std::int32_t leftScan = i, rightScan = j;  // first position not yet looked at from each side
    while (rightScan - leftScan + 1 >= 2 * kSortBlock) {
        if (leftNext == leftCount) {
            leftCount = leftNext = 0;
            for (std::int32_t k = 0; k < kSortBlock; ++k) {
                leftStops[leftCount] = leftScan + k;
                leftCount += !(keys[leftScan + k] < pivot);
            }
            leftScan += kSortBlock;
        }
        if (rightNext == rightCount) {
            rightCount = rightNext = 0;
            for (std::int32_t k = 0; k < kSortBlock; ++k) {
                rightStops[rightCount] = rightScan - k;
                rightCount += !(pivot < keys[rightScan - k]);
            }
            rightScan -= kSortBlock;
        }
        const std::int32_t pairs = std::min(leftCount - leftNext, rightCount - rightNext);
        for (std::int32_t p = 0; p < pairs; ++p) {
            const std::int32_t a = leftStops[leftNext + p], b = rightStops[rightNext + p];
            std::swap(keys[a], keys[b]);
            std::swap(faces[a], faces[b]);
        }
        if (pairs > 0) {
            leftNext += pairs;
            rightNext += pairs;
            i = leftStops[leftNext - 1] + 1;
            j = rightStops[rightNext - 1] - 1;
        }
    }
}

// One partition of lo .. hi around its middle key: on return lo .. j and i .. hi are left to sort,
// and what lies between them is in place.
void Partition(float* keys, std::int32_t* faces, std::int32_t lo, std::int32_t hi, std::int32_t& i, std::int32_t& j) {
    const float pivot = keys[lo + (hi - lo) / 2];
    i = lo;
    j = hi;
    PartitionWideMiddle(keys, faces, pivot, i, j);
    while (i <= j) {
        while (keys[i] < pivot && i < hi) ++i;
        while (pivot < keys[j] && j > lo) --j;
        if (i > j) break;
        if (i < j) {
            std::swap(keys[i], keys[j]);
            std::swap(faces[i], faces[j]);
        }
        ++i;
        --j;
    }
}

constexpr std::int32_t kMostSortParts = 4 * kMostRenderThreads;

}  // namespace

void SortDrawList(RenderWork& work, std::int32_t lo, std::int32_t hi) {
    float* keys = work.depthKeys.data();
    std::int32_t* faces = work.drawList.data();
    // The two parts left by a partition are disjoint, so sorting the smaller one by recursion
    // and the larger one in this loop gives the same order with a stack depth of log n.
    while (lo < hi) {
        std::int32_t i = lo, j = hi;
        Partition(keys, faces, lo, hi, i, j);
        if (j - lo < hi - i) {
            if (lo < j) SortDrawList(work, lo, j);
            lo = i;
        } else {
            if (i < hi) SortDrawList(work, i, hi);
            hi = j;
        }
    }
}

void SortDrawListOnThreads(RenderWork& work, std::int32_t count) {
    if (ListParts(*work.threads, count) == 1) {
        if (count >= 2) SortDrawList(work, 0, count - 1);
        return;
    }
    // The largest part is partitioned until there are four a thread, or parts too small to share.
    struct Part {
        std::int32_t lo, hi;
    };
    Part parts[kMostSortParts];
    std::int32_t partCount = 1;
    parts[0] = {0, count - 1};
    while (partCount < std::min(4 * work.threads->Count(), kMostSortParts)) {
        std::int32_t largest = 0;
        for (std::int32_t k = 1; k < partCount; ++k)
            if (parts[k].hi - parts[k].lo > parts[largest].hi - parts[largest].lo) largest = k;
        const Part part = parts[largest];
        if (part.hi - part.lo < kLeastSharedList / 4) break;
        std::int32_t i = part.lo, j = part.hi;
        Partition(work.depthKeys.data(), work.drawList.data(), part.lo, part.hi, i, j);
        parts[largest] = {part.lo, j};
        parts[partCount++] = {i, part.hi};
    }
    RunParts(*work.threads, partCount, [&work, &parts](std::int32_t k) {
        if (parts[k].lo < parts[k].hi) SortDrawList(work, parts[k].lo, parts[k].hi);
    });
}

}  // namespace vantrel
