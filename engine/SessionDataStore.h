#pragma once
// The session engine's small memory between runs (authentication type, server nonce, large-object
// support): key/value text lines, read once when a run starts and rewritten when it ends.
#include <map>
#include <string>
#include <string_view>

namespace orvale {

inline constexpr std::string_view kSessionDataPath = "\\Application Data\\Orvale\\syncsessiondata";

class SessionDataStore {
  public:
    // Reads the file; a missing file gives an empty store.
    explicit SessionDataStore(std::string devicePath = std::string(kSessionDataPath));
    // Kept in memory only and never written (server tests, scripted sessions).
    struct InMemory {};
    explicit SessionDataStore(InMemory);
    // Writes the file (mode 0600).
    virtual ~SessionDataStore();
    SessionDataStore(const SessionDataStore&) = delete;
    SessionDataStore& operator=(const SessionDataStore&) = delete;

    virtual bool has(const std::string& key) const;
    // Empty text when absent.
    virtual std::string getString(const std::string& key) const;
    // The value read as a decimal integer; -1 when absent.
    virtual int getInt(const std::string& key) const;
    // False when absent; else whether the value reads as a non-zero integer.
    virtual bool getBool(const std::string& key) const;
    virtual void setBool(const std::string& key, bool value);
    virtual void setInt(const std::string& key, int value);
    virtual void setString(const std::string& key, const std::string& value);

    // What the destructor writes; false when the file cannot be written. An in-memory store
    // writes nothing and reports true.
    bool save() const;
    const std::map<std::string, std::string>& entries() const { return entries_; }

    // The reading rules on their own: every line of at most 254 characters that splits at single
    // spaces into exactly two parts.
    static std::map<std::string, std::string> parse(std::string_view content);
    static std::string serialize(const std::map<std::string, std::string>& entries);

  private:
    std::string path_;
    bool inMemory_ = false;
    std::map<std::string, std::string> entries_;
};

}  // namespace orvale
