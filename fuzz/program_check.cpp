// The program's promises for the snapshot fuzzer, compiled without coverage feedback: how far the
// checker's own loops ran says nothing new about the program and would only bloat the corpus.
#include <cstdint>
#include <string>

#include "soak/program_invariants.h"

namespace vantrel {

std::string CheckProgramAfterStep(const Program& program, std::int64_t objectsBefore, std::int32_t lastClearedSlot) {
    return CheckProgramInvariants(program, objectsBefore, lastClearedSlot);
}

}  // namespace vantrel
