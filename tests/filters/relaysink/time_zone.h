#pragma once
// Runs a test under a chosen local time zone: the scene rule reads recording
// times through the C library's local-time conversion.
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace kvtest {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) previous_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (previous_)
            setenv("TZ", previous_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};

// Zones the scene tests run under: one without daylight saving time, two
// with it (northern and southern hemisphere, one with a 30-minute shift).
inline constexpr const char* kSceneTimeZones[] = {"UTC", "Europe/Berlin", "Australia/Lord_Howe"};

}  // namespace kvtest
