#include <gtest/gtest.h>

#include "scene/errors.h"
#include "support/error_recorder.h"

namespace vantrel {
namespace {

TEST(ReportError, EachCodeShowsItsMessageCaptionedError) {
    ErrorRecorder recorder;
    const ErrorReporter reporter = recorder.Reporter();
    for (std::int32_t code : {1, 2, 3, 4, 5, 0, 6, -1}) ReportError(reporter, code);
    const std::vector<std::string> expected = {
        "Unable to allocate memory for mesh!", "Unable to allocate memory for camera!",
        "Unable to allocate memory for light!", "Bad camera settings!", "Bad light settings!",
        "Unknown error!", "Unknown error!", "Unknown error!"};
    EXPECT_EQ(recorder.texts, expected);
    for (const std::string& caption : recorder.captions) EXPECT_EQ(caption, "Error");
}

TEST(ReportError, DefaultReporterWritesToStandardError) {
    testing::internal::CaptureStderr();
    ReportError(ErrorReporter{}, 4);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Bad camera settings!\n");
}

}  // namespace
}  // namespace vantrel
