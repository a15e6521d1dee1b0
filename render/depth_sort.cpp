// Reads and reorders depthKeys and drawList.
#include "render/depth_sort.h"

#include <utility>

namespace vantrel {

void SortDrawList(RenderWork& work, std::int32_t lo, std::int32_t hi) {
    float* keys = work.depthKeys.data();
    std::int32_t* faces = work.drawList.data();
    // The two parts left by a partition are disjoint, so sorting the smaller one by recursion
    // and the larger one in this loop gives the same order with a stack depth of log n.
    while (lo < hi) {
        const float pivot = keys[lo + (hi - lo) / 2];
        std::int32_t i = lo, j = hi;
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
        if (j - lo < hi - i) {
            if (lo < j) SortDrawList(work, lo, j);
            lo = i;
        } else {
            if (i < hi) SortDrawList(work, i, hi);
            hi = j;
        }
    }
}

}  // namespace vantrel
