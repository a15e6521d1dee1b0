#pragma once
// Painter's order: the listed faces sorted farthest first by their depth keys.
#include <cstdint>

#include "render/render_work.h"

namespace vantrel {

// Sorts positions lo..hi of depthKeys ascending, moving the drawList entries with their keys.
// An in-place quicksort on the middle key; it is not stable, and the order it leaves equal
// keys in decides which of two coincident faces is painted last, so it must not be replaced.
void SortDrawList(RenderWork& work, std::int32_t lo, std::int32_t hi);
// SortDrawList over positions 0 .. count - 1, to the same order: the first partitions are made
// here, and the disjoint parts they leave are sorted on the work's threads.
void SortDrawListOnThreads(RenderWork& work, std::int32_t count);

}  // namespace vantrel
