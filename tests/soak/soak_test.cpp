// The soak: long random walks of window messages through the real window procedure. Each CI
// walk is 20,000 messages; VANTREL_SOAK_MESSAGES=N makes every walk N messages long, and
// VANTREL_SOAK_SEEDS="7,8 9" walks from those seeds as well as from the fixed ones.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/message.h"
#include "app/recording_host.h"
#include "app/startup.h"
#include "app/window_procedure.h"
#include "objects/command_ids.h"
#include "canvas/gdi_objects.h"
#include "render/drawing_tools.h"
#include "soak/program_invariants.h"
#include "soak/random_walk.h"

namespace vantrel {
namespace {

std::int64_t WalkLength() {
    constexpr std::int64_t kDefault = 20000;
    const char* text = std::getenv("VANTREL_SOAK_MESSAGES");
    if (text == nullptr || *text == '\0') return kDefault;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    return *end == '\0' && value > 0 ? value : kDefault;
}

// The seeds VANTREL_SOAK_SEEDS names, separated by commas or white space; false when a word
// there is not a whole number.
bool EnvironmentSeeds(std::vector<std::uint64_t>& seeds) {
    const char* text = std::getenv("VANTREL_SOAK_SEEDS");
    const std::string list = text != nullptr ? text : "";
    bool wellFormed = true;
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t end = std::min(list.find_first_of(", \t\n", at), list.size());
        if (end > at) {
            std::uint64_t seed = 0;
            const auto [stop, error] = std::from_chars(list.data() + at, list.data() + end, seed);
            if (error == std::errc() && stop == list.data() + end) {
                seeds.push_back(seed);
            } else {
                wellFormed = false;
            }
        }
        at = end + 1;
    }
    return wellFormed;
}

std::vector<std::uint64_t> SeedsFromEnvironment() {
    std::vector<std::uint64_t> seeds;
    EnvironmentSeeds(seeds);
    return seeds;
}

// Each screen size (seed % 3) at least once.
constexpr std::uint64_t kFixedSeeds[] = {1, 20, 300, 4000, 50000};

class SoakWalk : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(SoakWalk, KeepsEveryPromiseAfterEveryMessage) {
    const std::int64_t length = WalkLength();
    const WalkResult result = RunRandomWalk(GetParam(), length);
    ASSERT_EQ(result.failure, "");
    EXPECT_EQ(result.messagesSent, length);
    EXPECT_EQ(result.objectsAtEnd, 0) << "drawing objects outlived the program";

    // The fixed seeds reach everything the walk is meant to reach, so a generator gone lopsided shows
    // here; a seed from the environment may miss a command or a paint by chance, which is no fault.
    if (std::find(std::begin(kFixedSeeds), std::end(kFixedSeeds), GetParam()) == std::end(kFixedSeeds)) return;
    for (std::int32_t id = 0; id <= kWalkHighestCommand; ++id) EXPECT_TRUE(result.commandSent[id]) << "command " << id;
    EXPECT_GT(result.oddCommands, 0);
    for (std::int32_t panel = 0; panel <= 3; ++panel) EXPECT_GT(result.clicksByPanel[panel], 0) << "panel " << panel;
    EXPECT_GT(result.framesRendered, length / 20);
    EXPECT_GT(result.dragMoves, length / 20);
    EXPECT_GT(result.shiftRepeats, 0);
    EXPECT_GT(result.tinyResizes, 0);
    EXPECT_GT(result.oversizeResizes, 0);
    EXPECT_GT(result.paintedFaces, 0);
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, SoakWalk, ::testing::ValuesIn(kFixedSeeds));
INSTANTIATE_TEST_SUITE_P(EnvironmentSeeds, SoakWalk, ::testing::ValuesIn(SeedsFromEnvironment()));

TEST(SoakWalkSeeds, EveryWordOfTheEnvironmentListIsASeed) {
    std::vector<std::uint64_t> seeds;
    EXPECT_TRUE(EnvironmentSeeds(seeds)) << "VANTREL_SOAK_SEEDS=" << std::getenv("VANTREL_SOAK_SEEDS");
}

TEST(SoakWalkRepeat, SameSeedRepeatsTheWalkAndOtherSeedsDiffer) {
    const WalkResult first = RunRandomWalk(7, 2000);
    const WalkResult again = RunRandomWalk(7, 2000);
    const WalkResult other = RunRandomWalk(8, 2000);
    ASSERT_EQ(first.failure, "");
    EXPECT_EQ(first.finalState, again.finalState);
    EXPECT_NE(first.finalState, other.finalState);
}

// Every check of the soak must be able to fail: each fault planted in a settled program is named.
class ProgramInvariantsTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.program = &program;
        StartProgram(program, host);
        WindowProcedure(program, SizeMessage(kSizeRestored, 320, 220));
        WindowProcedure(program, CommandMessage(kCommandSphere));
        WindowProcedure(program, TimerMessage());
        ASSERT_EQ(CheckProgramInvariants(program, objectsBefore), "");
    }
    void TearDown() override { StopProgram(program); }

    std::string Check() const { return CheckProgramInvariants(program, objectsBefore); }

    std::int64_t objectsBefore = LiveObjectCount();  // before the program exists
    std::unique_ptr<Program> owned = std::make_unique<Program>();
    Program& program = *owned;
    RecordingHost host;
};

TEST_F(ProgramInvariantsTest, NamesEachPlantedFault) {
    Scene& scene = program.scene;
    InteractionState& state = program.interaction;
    const Mesh& sphere = scene.meshTable[scene.currentMesh];
    const std::int32_t deadFace = LastFace(sphere) + 1;

    const std::int32_t mesh = scene.currentMesh;
    scene.currentMesh = LastIndex(scene.meshRange) + 1;
    EXPECT_NE(Check().find("current mesh"), std::string::npos);
    scene.currentMesh = mesh;

    scene.lightRange.count = kLastSlot + 1;
    EXPECT_NE(Check().find("light range"), std::string::npos);
    scene.lightRange.count = 1;

    Face& face = scene.facePool[sphere.firstFace];
    const std::int32_t corner = face.corner1;
    face.corner1 = LastVertex(sphere) + 1;
    EXPECT_NE(Check().find("corner"), std::string::npos);
    face.corner1 = corner;

    state.lightPointer = scene.currentMesh;
    EXPECT_NE(Check().find("outlived light placement"), std::string::npos);
    state.lightPointer = LastIndex(scene.meshRange) + 1;
    state.lightPlacement = kTrue;
    EXPECT_NE(Check().find("light pointer"), std::string::npos);
    state.lightPointer = 0;
    state.lightPlacement = kFalse;

    state.hoverFace = deadFace;
    EXPECT_NE(Check().find("hover face"), std::string::npos);
    state.hoverFace = 0;
    state.highlightFace = deadFace;
    EXPECT_NE(Check().find("highlight face"), std::string::npos);
    state.highlightFace = 0;

    std::vector<std::int32_t>& list = program.work.drawList;
    ASSERT_NE(list[0], 0) << "the sphere's frame listed no face";
    const std::int32_t listed = list[0];
    list[0] = deadFace;
    state.frameMatchesScene = kTrue;
    EXPECT_NE(Check().find("dead face"), std::string::npos);
    state.frameMatchesScene = kFalse;  // a changed scene may leave dead faces listed until its frame
    EXPECT_EQ(Check(), "");
    list[0] = listed;
    const std::vector<std::int32_t> saved = list;
    std::fill(list.begin(), list.end(), 1);
    EXPECT_NE(Check().find("terminating"), std::string::npos);
    list = saved;

    program.orbit.radius = std::numeric_limits<float>::quiet_NaN();
    EXPECT_NE(Check().find("orbit"), std::string::npos);
    program.orbit.radius = 200;

    SelectPen(program.target, PS_SOLID, 0x00FF00FF);
    EXPECT_NE(Check().find("still held"), std::string::npos);
    RestorePenBrush(program.target);
    EXPECT_EQ(Check(), "");

    const ObjectHandle leaked = CreateSolidBrush(0x00123456);
    EXPECT_NE(Check().find("resting value"), std::string::npos);
    DeleteObject(leaked);
    EXPECT_EQ(Check(), "");
}

}  // namespace
}  // namespace vantrel
