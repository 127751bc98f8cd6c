#pragma once

#include <thread>

/// Reads the system's font configuration on a thread of its own while the application object
/// is being built.
///
/// Qt reads the configuration (dozens of XML files, then the font caches) at its first font
/// use, on the main thread, before the first frame: several milliseconds that can overlap the
/// loading of the platform plugin instead. Where Qt finds fonts without fontconfig (Windows),
/// this does nothing.
class FontConfigurationPreload {
public:
    /// Starts reading. Create it before the application object.
    FontConfigurationPreload();
    /// Waits for the reading to end; call it before the first font is used, so that Qt finds
    /// the configuration ready instead of reading it a second time.
    void Wait();
    ~FontConfigurationPreload();

    FontConfigurationPreload(const FontConfigurationPreload &) = delete;
    FontConfigurationPreload &operator=(const FontConfigurationPreload &) = delete;

private:
    std::thread reader_;
};
