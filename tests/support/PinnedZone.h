#pragma once
// Pins TZ for the life of the object and puts the previous value back after.
#include <cstdlib>
#include <ctime>
#include <string>

namespace orvale::test {

class PinnedZone {
public:
    explicit PinnedZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) saved_ = old, had_ = true;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~PinnedZone() {
        if (had_) setenv("TZ", saved_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    PinnedZone(const PinnedZone&) = delete;
    PinnedZone& operator=(const PinnedZone&) = delete;

private:
    std::string saved_;
    bool had_ = false;
};

}  // namespace orvale::test
