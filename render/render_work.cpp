#include "render/render_work.h"

namespace vantrel {

void ReportSettingOnce(const Scene& scene, SettingReports& reports, std::int32_t code) {
    Truth& reported = code == kErrorBadLight ? reports.badLight : reports.badCamera;
    if (reported) return;
    reported = kTrue;
    ReportError(scene.reporter, code);
}

}  // namespace vantrel
