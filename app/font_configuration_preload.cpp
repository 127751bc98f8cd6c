#include "font_configuration_preload.h"

#ifdef ZORVANE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontConfigurationPreload::FontConfigurationPreload() {
#ifdef ZORVANE_FONTCONFIG
    // fontconfig keeps one current configuration per process; loading it is safe from any
    // thread, and Qt's own call later returns at once.
    reader_ = std::thread([] { FcInit(); });
#endif
}

void FontConfigurationPreload::Wait() {
    if (reader_.joinable())
        reader_.join();
}

FontConfigurationPreload::~FontConfigurationPreload() {
    Wait();
}
