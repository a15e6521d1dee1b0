#include "render/render_work.h"

#include "render/render_threads.h"

namespace vantrel {

RenderWork::RenderWork() : threads(std::make_unique<RenderThreads>(DefaultRenderThreadCount())) {}
RenderWork::~RenderWork() = default;

void ReportSettingOnce(const Scene& scene, SettingReports& reports, SettingCheck check) {
    Truth& reported = reports.reported[static_cast<std::int32_t>(check)];
    if (reported) return;
    reported = kTrue;
    const bool lightCheck = check == SettingCheck::Spot || check == SettingCheck::Attenuation;
    ReportError(scene.reporter, lightCheck ? kErrorBadLight : kErrorBadCamera);
}

}  // namespace vantrel
