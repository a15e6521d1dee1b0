#pragma once
// Collects the notices a test's scene reports instead of showing them.
#include <string>
#include <vector>

#include "scene/errors.h"

namespace vantrel {

struct ErrorRecorder {
    std::vector<std::string> captions;
    std::vector<std::string> texts;

    static void Record(void* context, const char* caption, const char* text) {
        auto* recorder = static_cast<ErrorRecorder*>(context);
        recorder->captions.emplace_back(caption);
        recorder->texts.emplace_back(text);
    }

    ErrorReporter Reporter() { return ErrorReporter{&ErrorRecorder::Record, this}; }
};

}  // namespace vantrel
