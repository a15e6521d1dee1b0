#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "geometry/random.h"
#include "render/depth_sort.h"
#include "render/render_threads.h"

namespace vantrel {
namespace {

std::vector<std::int32_t> SortedFaces(RenderWork& work, const std::vector<float>& keys) {
    const auto n = static_cast<std::int32_t>(keys.size());
    for (std::int32_t i = 0; i < n; ++i) {
        work.depthKeys[i] = keys[i];
        work.drawList[i] = i + 1;
    }
    if (n >= 2) SortDrawList(work, 0, n - 1);
    return {work.drawList.begin(), work.drawList.begin() + n};
}

TEST(DepthSort, EqualKeysLandInTheQuicksortsOrder) {
    auto work = std::make_unique<RenderWork>();
    // Which of two coincident faces is painted last shows in the picture: pin the order.
    EXPECT_EQ(SortedFaces(*work, {-1, -1}), (std::vector<std::int32_t>{2, 1}));
    EXPECT_EQ(SortedFaces(*work, {-1, -1, -1}), (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_EQ(SortedFaces(*work, {-1, -1, -1, -1}), (std::vector<std::int32_t>{3, 4, 1, 2}));
    // Two far faces (key -2) before two near ones, each pair in the partition's order.
    EXPECT_EQ(SortedFaces(*work, {-1, -2, -1, -2}), (std::vector<std::int32_t>{4, 2, 1, 3}));
}

TEST(DepthSort, OrdersKeysAscendingAndKeepsEachFaceWithItsKey) {
    auto work = std::make_unique<RenderWork>();
    Random random;
    RandomSeed(random, 1234.5);
    // Long lists are partitioned first and their parts sorted on threads, to the very same order.
    for (std::int32_t n : {2, 3, 17, 500, 10000}) {
        std::vector<std::pair<float, std::int32_t>> pairs;
        for (std::int32_t i = 0; i < n; ++i) {
            // Few distinct values, so many ties, plus a run of sorted keys to stress the pivot.
            const float key = i % 3 == 0 ? -float(i) : -float(int(RandomUniform(random) * 8.0f));
            work->depthKeys[i] = key;
            work->drawList[i] = i + 1;
            pairs.emplace_back(key, i + 1);
        }
        SortDrawList(*work, 0, n - 1);
        const std::vector<std::int32_t> serial(work->drawList.begin(), work->drawList.begin() + n);
        for (std::int32_t threads : {2, 3, 8}) {
            for (std::int32_t i = 0; i < n; ++i) {
                work->depthKeys[i] = pairs[static_cast<std::size_t>(i)].first;
                work->drawList[i] = i + 1;
            }
            work->threads = std::make_unique<RenderThreads>(threads);
            SortDrawListOnThreads(*work, n);
            EXPECT_TRUE(std::equal(serial.begin(), serial.end(), work->drawList.begin())) << n << " on " << threads;
        }
        std::vector<std::pair<float, std::int32_t>> sorted;
        for (std::int32_t i = 0; i < n; ++i) sorted.emplace_back(work->depthKeys[i], work->drawList[i]);
        EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(),
                                   [](const auto& a, const auto& b) { return a.first < b.first; }))
            << "n = " << n;
        std::sort(sorted.begin(), sorted.end());
        std::sort(pairs.begin(), pairs.end());
        EXPECT_EQ(sorted, pairs) << "n = " << n;
    }
}

}  // namespace
}  // namespace vantrel
