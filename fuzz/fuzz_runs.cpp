// Whole background runs on one device root, one after the other, with the server's replies taken
// from the input: runs are separated by FF FE FD FB, the replies of one run by FF FE FD FC. What a
// run leaves (anchors, syncsessiondata, the map journal, change databases, Conf.dat, Logs.dat) is
// what the next one reads. Every run must end with a result, never crash, leak or run away.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/BackgroundSync.h"
#include "app/ConfigRecord.h"
#include "app/KeepAwake.h"
#include "app/RunEnvironment.h"
#include "platform/DevicePaths.h"
#include "transport/Transport.h"

namespace {

constexpr std::string_view kRunSeparator("\xFF\xFE\xFD\xFB", 4);
constexpr std::string_view kReplySeparator("\xFF\xFE\xFD\xFC", 4);
constexpr std::size_t kMostRuns = 4;
constexpr std::size_t kMostReplies = 24;

class ReplayTransport : public orvale::Transport {
public:
    explicit ReplayTransport(std::vector<std::string> replies) : replies_(std::move(replies)) {}
    int exchange(const std::string&, const std::string&, std::string& reply) override {
        reply.clear();
        if (next_ >= replies_.size()) {
            lastStatus_ = 500;
            errorFlag_ = 1;
            return 1;
        }
        reply = replies_[next_++];
        lastStatus_ = 200;
        return 0;
    }
    std::uint32_t status() const override { return lastStatus_; }

private:
    std::vector<std::string> replies_;
    std::size_t next_ = 0;
};

std::vector<std::string_view> split(std::string_view data, std::string_view separator, std::size_t most) {
    std::vector<std::string_view> out;
    while (out.size() < most) {
        const std::size_t at = data.find(separator);
        out.push_back(data.substr(0, at));
        if (at == std::string_view::npos) break;
        data.remove_prefix(at + separator.size());
    }
    return out;
}

void writeSettings() {
    using namespace orvale;
    ConfigRecord record;
    record.setText(ConfigText::ServerUrl, u"http://sync.example/rpc");
    record.setText(ConfigText::UserName, u"user");
    record.setText(ConfigText::Password, u"secret");
    record.setText(ConfigText::ContactsUri, u"./contacts");
    record.setText(ConfigText::TasksUri, u"./tasks");
    record.setText(ConfigText::CalendarUri, u"./calendar");
    record.setFlag(ConfigFlag::ContactsEnabled, true);
    record.setFlag(ConfigFlag::TasksEnabled, true);
    record.setFlag(ConfigFlag::CalendarEnabled, true);
    record.setFlag(ConfigFlag::SetupDone, true);
    record.setFlag(ConfigFlag::LoggingEnabled, true);
    if (!record.save()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static char root[] = "/tmp/orvale-fuzz-runs-XXXXXX";
    if (mkdtemp(root) == nullptr) std::abort();
    setenv("ORVALE_DEVICE_ROOT", root, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvale;
    // Each input starts from the same device: what its runs leave is read by its later runs only.
    const std::filesystem::path root = platform::deviceRoot();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(root, ec)) std::filesystem::remove_all(entry.path(), ec);
    writeSettings();

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::string_view run : split(input, kRunSeparator, kMostRuns)) {
        std::vector<std::string> replies;
        for (std::string_view r : split(run, kReplySeparator, kMostReplies)) replies.emplace_back(r);
        RunEnvironment env = RunEnvironment::standard();
        env.makeTransport = [&replies](const ProxyDescriptor&) {
            return RunTransport{std::make_unique<ReplayTransport>(replies), [] {}};
        };
        KeepAwakeSlot keepAwake;
        runBackgroundSync(keepAwake, env);
    }
    return 0;
}
