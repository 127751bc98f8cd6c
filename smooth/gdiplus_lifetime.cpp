#include "gdiplus_lifetime.h"

#include "gamma.h"

#include <QFontDatabase>

namespace {

// One live start-up per program; the token is a counter so a stale token is recognisable.
std::uintptr_t liveToken = 0;
std::uintptr_t lastToken = 0;
bool familiesCached = false;
QStringList families;

} // namespace

GpStatus GdiplusStartup(std::uintptr_t *token, const GdiplusStartupInput *input,
                        GdiplusStartupOutput *output) {
    if (token == nullptr || input == nullptr)
        return GpStatus::InvalidParameter;
    if (input->GdiplusVersion != 1)
        return GpStatus::UnsupportedGdiplusVersion;
    if (output != nullptr)
        *output = GdiplusStartupOutput{};
    PrepareGammaTables();
    if (liveToken == 0)
        liveToken = ++lastToken;
    *token = liveToken;
    return GpStatus::Ok;
}

void GdiplusShutdown(std::uintptr_t token) {
    if (token == 0 || token != liveToken)
        return;
    liveToken = 0;
    familiesCached = false;
    families.clear();
}

bool GdiplusStarted() {
    return liveToken != 0;
}

const QStringList &InstalledFontFamilies() {
    if (!GdiplusStarted() || !familiesCached) {
        families = QFontDatabase::families();
        familiesCached = GdiplusStarted();
    }
    return families;
}
