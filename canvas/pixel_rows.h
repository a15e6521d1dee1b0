#pragma once
// Block copies of pixel rows for pictures handed to another reader, such as the window
// system's image: on x86-64 the stores bypass the cache, so the destination is not read first
// and the copy does not evict what the drawing keeps cached.
#include <cstdint>

namespace vantrel {

// Copies width pixels of each of rows rows; pitches in pixels. The two blocks must not overlap.
// Every store is visible to other threads when it returns.
void CopyPixelRows(std::uint32_t* target, std::int32_t targetPitch, const std::uint32_t* source,
                   std::int32_t sourcePitch, std::int32_t width, std::int32_t rows);
// Sets width pixels of each of rows rows to value.
void FillPixelRows(std::uint32_t* target, std::int32_t targetPitch, std::uint32_t value, std::int32_t width,
                   std::int32_t rows);

}  // namespace vantrel
