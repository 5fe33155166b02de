#include "transport/MessageCapture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <vector>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"

namespace orvale {

std::atomic<MessageCapture*> MessageCapture::current_{nullptr};

namespace {

const char* const kDirectionNames[] = {"client", "server"};

// The listing matches "*.xml" the way the device's file system does: without regard to case.
bool hasXmlExtension(const std::string& name) {
    if (name.size() < 4) return false;
    const std::string tail = name.substr(name.size() - 4);
    return tail[0] == '.' && (tail[1] | 0x20) == 'x' && (tail[2] | 0x20) == 'm' && (tail[3] | 0x20) == 'l';
}

// Messages carry credentials: the file is private to the user whatever mode an old file had.
void writePrivateFile(const std::filesystem::path& path, const char* bytes, std::size_t length) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return;
    ::fchmod(fd, 0600);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, bytes + done, length - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

std::mutex secretsMutex;
std::vector<std::string>& secrets() {
    static std::vector<std::string> all;
    return all;
}

void blankSecrets(std::string& message) {
    const std::lock_guard<std::mutex> lock(secretsMutex);
    for (const std::string& secret : secrets()) {
        for (std::size_t at = message.find(secret); at != std::string::npos; at = message.find(secret, at + secret.size()))
            std::fill_n(message.begin() + static_cast<std::ptrdiff_t>(at), secret.size(), '*');
    }
}

// Appended rather than concatenated: GCC 12's optimiser reports a false overlap for the latter.
std::u16string rootedFolder(std::u16string_view path) {
    std::u16string folder(1, u'\\');
    folder += path;
    return folder;
}

}  // namespace

MessageCapture::MessageCapture(std::u16string_view path) : folder_(rootedFolder(path)) {}

MessageCapture::~MessageCapture() {
    MessageCapture* self = this;
    current_.compare_exchange_strong(self, nullptr);
}

std::filesystem::path MessageCapture::hostFolder() const { return platform::hostPath(folder_); }

void MessageCapture::prepare() {
    const std::filesystem::path dir = hostFolder();
    std::error_code ec;
    platform::createPrivateFolders(dir);
    std::vector<std::filesystem::path> doomed;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec)) continue;
        if (hasXmlExtension(it->path().filename().string())) doomed.push_back(it->path());
    }
    for (const auto& file : doomed) std::filesystem::remove(file, ec);
}

void MessageCapture::save(const char* bytes, std::size_t length) {
    std::uint32_t& counter = direction_ == 0 ? clientCounter_ : serverCounter_;
    ++counter;
    char name[48];
    std::snprintf(name, sizeof name, "%02u_from_%s.xml", static_cast<unsigned>(counter), kDirectionNames[direction_]);
    direction_ = direction_ == 0 ? 1 : 0;
    const bool first = counter <= kKeepFirst;
    if (first && bytesKept_ + length > kMaxBytes) return leftOut();
    std::string kept(bytes, length);
    blankSecrets(kept);
    writePrivateFile(hostFolder() / name, kept.data(), kept.size());
    bytesKept_ += length;
    if (first) return;
    tail_.push_back(KeptFile{name, length});
    std::error_code ec;
    while (tail_.size() > 1 && (tail_.size() > 2 * kKeepLast || bytesKept_ > kMaxBytes)) {
        std::filesystem::remove(hostFolder() / tail_.front().name, ec);
        bytesKept_ -= tail_.front().size;
        tail_.pop_front();
        leftOut();
    }
}

void MessageCapture::leftOut() {
    if (bounded_) return;
    bounded_ = true;
    writePrivateFile(hostFolder() / kBoundedMarker, "", 0);
}

void MessageCapture::hideInCaptures(std::string_view secret) {
    // Very short texts would blank ordinary bytes of every message.
    if (secret.size() < 4) return;
    const std::lock_guard<std::mutex> lock(secretsMutex);
    std::vector<std::string>& all = secrets();
    if (std::find(all.begin(), all.end(), secret) != all.end()) return;
    // A digest changes with every nonce: only the recent ones can still be in a message.
    if (all.size() == 64) all.erase(all.begin());
    all.emplace_back(secret);
}

MessageCapture* MessageCapture::current() { return current_.load(); }

void MessageCapture::setCurrent(MessageCapture* capture) { current_.store(capture); }

}  // namespace orvale
