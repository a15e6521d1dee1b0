#include "scene/errors.h"

#include <cstdio>

namespace vantrel {

const char* ErrorMessage(std::int32_t code) {
    switch (code) {
        case kErrorMeshMemory: return "Unable to allocate memory for mesh!";
        case kErrorCameraMemory: return "Unable to allocate memory for camera!";
        case kErrorLightMemory: return "Unable to allocate memory for light!";
        case kErrorBadCamera: return "Bad camera settings!";
        case kErrorBadLight: return "Bad light settings!";
        default: return "Unknown error!";
    }
}

void ReportError(const ErrorReporter& reporter, std::int32_t code) {
    const char* text = ErrorMessage(code);
    if (reporter.sink) {
        reporter.sink(reporter.context, "Error", text);
    } else {
        std::fprintf(stderr, "Error: %s\n", text);
    }
}

}  // namespace vantrel
