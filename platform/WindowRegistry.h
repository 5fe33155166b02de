#pragma once
// The device's list of top-level windows, shared by the processes of one device root. A window is
// found by its caption; destroying it or sending it the close message is carried out by the process
// that owns it, on its UI thread, when that thread calls dispatchWindowRequests().
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvale::platform {

struct WindowEntry {
    std::string id;  // unique within the device root
    int pid = 0;     // owning process
    std::u16string caption;
};

// What the owning process does when another process (or its own code) addresses its window.
class WindowHandler {
  public:
    virtual ~WindowHandler() = default;
    virtual void destroyRequested() = 0;
    virtual void closeRequested() = 0;
};

// A top-level window of this process, listed while the object lives (or until unregister()).
class WindowRegistration {
  public:
    WindowRegistration(std::u16string_view caption, WindowHandler& handler);
    ~WindowRegistration();
    WindowRegistration(const WindowRegistration&) = delete;
    WindowRegistration& operator=(const WindowRegistration&) = delete;

    bool registered() const { return fd_ >= 0; }
    const std::string& id() const { return id_; }
    void unregister();

  private:
    std::string id_;
    std::string entryPath_;
    int fd_ = -1;
};

// Live windows of the device root in registration order; entries of dead processes are skipped.
std::vector<WindowEntry> topLevelWindows();
// The first live window whose caption equals `caption` exactly.
std::optional<WindowEntry> findWindow(std::u16string_view caption);

// Both wait until the owner has taken the request (a few seconds at most) and return whether it
// did. A window of the calling process is handled at once, on the calling thread.
bool destroyWindow(const WindowEntry& window);
bool sendCloseMessage(const WindowEntry& window);

// A descriptor that becomes readable when requests for this process's windows may be waiting, or -1
// before the process registered a window. The UI thread watches it and then dispatches.
int windowRequestFd();
void dispatchWindowRequests();

}  // namespace orvale::platform
