#pragma once
// Every problem the program reports goes through ReportError: a modal notice captioned "Error".
// The program installs where the notice goes; the default writes "Error: <text>" to standard error.
#include <cstdint>

namespace vantrel {

enum ErrorCode : std::int32_t {
    kErrorMeshMemory = 1,
    kErrorCameraMemory = 2,
    kErrorLightMemory = 3,
    kErrorBadCamera = 4,
    kErrorBadLight = 5,
};

// Shows one notice and returns once it is dismissed.
using ErrorSink = void (*)(void* context, const char* caption, const char* text);

struct ErrorReporter {
    ErrorSink sink = nullptr;  // null: standard error
    void* context = nullptr;
};

// The text for a code; codes outside 1..5 give "Unknown error!".
const char* ErrorMessage(std::int32_t code);
void ReportError(const ErrorReporter& reporter, std::int32_t code);

}  // namespace vantrel
