#pragma once
// Keeps the raw messages of the last run, one file per message, for diagnosing a session after
// the fact. The bytes are written exactly as they travelled (WBXML in normal operation).
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvale {

class MessageCapture {
public:
    // The folder every sync run and server test captures into.
    static constexpr std::u16string_view kLastSessionPath = u"Application Data\\Orvale\\LastSession";

    // `path` is a device path below the device root; a leading backslash is put in front of it.
    explicit MessageCapture(std::u16string_view path);
    // A capture that goes away stops being the current one, so nobody writes through a dangling
    // pointer.
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    // Creates the folder and deletes the ".xml" files a previous run left there; other files stay.
    void prepare();
    // Writes the next message. Requests and replies alternate, starting with a request, so callers
    // save exactly once per request and once per reply. A file that cannot be written is skipped
    // and its number is used up all the same, which keeps later pairs aligned.
    void save(const char* bytes, std::size_t length);

    // A session that goes wrong can run to thousands of messages: the capture keeps the first
    // kKeepFirst and the last kKeepLast messages of each direction and at most kMaxBytes in all.
    // Once something is left out, the file kBoundedMarker says so in the folder.
    static constexpr std::uint32_t kKeepFirst = 200;
    static constexpr std::size_t kKeepLast = 200;
    static constexpr std::uint64_t kMaxBytes = 24u << 20;
    static constexpr const char* kBoundedMarker = "00_bounded_first_200_last_200_per_side_24MB_others_left_out.xml";

    const std::u16string& folder() const { return folder_; }
    std::filesystem::path hostFolder() const;

    // Bytes never written into a capture: each occurrence is overwritten with '*' of the same length,
    // so that a message stays decodable. The capture is there to diagnose a session, and people
    // hand it on; the credential in it is of no use for that. Kept for the life of the process.
    static void hideInCaptures(std::string_view secret);

    // The process-wide capture the transport writes to; null while capture is off.
    static MessageCapture* current();
    static void setCurrent(MessageCapture* capture);

private:
    std::u16string folder_;
    std::uint32_t clientCounter_ = 0;
    std::uint32_t serverCounter_ = 0;
    std::uint8_t direction_ = 0;  // 0 client, 1 server
    struct KeptFile {
        std::string name;
        std::uint64_t size;
    };
    // The messages past the first ones, oldest first; they make way for later ones.
    std::deque<KeptFile> tail_;
    std::uint64_t bytesKept_ = 0;
    bool bounded_ = false;
    void leftOut();

    static std::atomic<MessageCapture*> current_;
};

}  // namespace orvale
