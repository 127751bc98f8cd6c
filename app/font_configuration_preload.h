#pragma once

#include <functional>
#include <future>
#include <thread>

/// Reads the system's font configuration on a thread of its own while the application object
/// is being built.
///
/// Qt reads the configuration (dozens of XML files, then the font caches) at its first font
/// use, on the main thread, before the first frame: several milliseconds that can overlap the
/// loading of the platform plugin instead. Font work that needs only the configuration can follow
/// on the same thread while the main thread builds the window. Where Qt finds fonts without
/// fontconfig (Windows), this does nothing.
class FontConfigurationPreload {
public:
    /// Starts reading, then runs `afterReading` on the same thread. Create it before the
    /// application object.
    explicit FontConfigurationPreload(std::function<void()> afterReading = {});
    /// Waits for the reading to end (not for `afterReading`); call it before the first font is
    /// used, so that Qt finds the configuration ready instead of reading it a second time.
    void Wait();
    /// Waits for the thread's whole work; call it before the application object ends.
    void Join();
    ~FontConfigurationPreload();

    FontConfigurationPreload(const FontConfigurationPreload &) = delete;
    FontConfigurationPreload &operator=(const FontConfigurationPreload &) = delete;

private:
    std::promise<void> read_;
    std::future<void> readDone_ = read_.get_future();
    std::thread reader_;
};
