#include "font_configuration_preload.h"

#ifdef ZORVANE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontConfigurationPreload::FontConfigurationPreload(std::function<void()> afterReading) {
#ifdef ZORVANE_FONTCONFIG
    // fontconfig keeps one current configuration per process; loading it is safe from any
    // thread, and Qt's own call later returns at once.
    reader_ = std::thread([this, afterReading = std::move(afterReading)] {
        FcInit();
        read_.set_value();
        if (afterReading)
            afterReading();
    });
#else
    (void)afterReading;
    read_.set_value();
#endif
}

void FontConfigurationPreload::Wait() {
    readDone_.wait();
}

void FontConfigurationPreload::Join() {
    if (reader_.joinable())
        reader_.join();
}

FontConfigurationPreload::~FontConfigurationPreload() {
    Join();
}
