#pragma once
// A started program on a recording host, with a client area of 320 x 220 laid out.
#include <memory>

#include <gtest/gtest.h>

#include "app/message.h"
#include "app/program.h"
#include "app/recording_host.h"
#include "app/startup.h"
#include "app/window_procedure.h"

namespace vantrel {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.program = &program;
        StartProgram(program, host);
        Send(SizeMessage(kSizeRestored, kClientWidth, kClientHeight));
    }
    void TearDown() override { StopProgram(program); }

    std::int64_t Send(const Message& message) { return WindowProcedure(program, message); }
    void Tick() { Send(TimerMessage()); }
    void Command(std::int32_t id) { Send(CommandMessage(id)); }
    // Renders whatever is due, so the next change starts from a clean frame.
    void Settle() { Tick(); }

    static constexpr std::int32_t kClientWidth = 320;
    static constexpr std::int32_t kClientHeight = 220;
    static constexpr std::int32_t kViewWidth = kClientWidth - 16;
    static constexpr std::int32_t kViewHeight = kClientHeight - 16;

    std::unique_ptr<Program> owned = std::make_unique<Program>();
    Program& program = *owned;
    RecordingHost host;
};

}  // namespace vantrel
