#pragma once
// A named mutex shared by the processes of one device root. As on the device, the mutex object
// exists while any process holds it open; creating it again reports that it already existed. The
// process that created it first owns it; ownership is never waited for by the program.
#include <memory>
#include <string_view>

namespace orvale::platform {

inline constexpr int kErrorAlreadyExists = 183;

class NamedMutex {
  public:
    // Opens (creating when needed) the mutex `name`. `lastError` is kErrorAlreadyExists when another
    // live process already held it open, else 0. Null when the platform cannot provide the object.
    static std::unique_ptr<NamedMutex> create(std::string_view name, bool initialOwner, int& lastError);

    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool owned() const { return owned_; }

  private:
    NamedMutex(int fd, bool owned) : fd_(fd), owned_(owned) {}
    int fd_;
    bool owned_;
};

}  // namespace orvale::platform
