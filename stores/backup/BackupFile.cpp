#include "stores/backup/BackupFile.h"

#include <charconv>
#include <cstdio>
#include <unordered_set>

#include "stores/Crc32.h"
#include "stores/ItemList.h"

namespace orvale::backup {

namespace {

constexpr std::string_view kMagic = "Orvale backup 1\n";

// A whole unsigned decimal of at most `most`, nothing before or after it.
std::optional<std::size_t> decimal(std::string_view text, std::size_t most) {
    std::size_t n = 0;
    if (text.empty() || text.size() > 10 || text[0] == '+') return std::nullopt;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n > most) return std::nullopt;
    return n;
}

// The next line (without its LF) when it starts with `name`; moves `at` past it.
std::optional<std::string_view> field(std::string_view file, std::size_t& at, std::string_view name) {
    const std::size_t end = file.find('\n', at);
    if (end == std::string_view::npos || end - at > kMaxHeaderBytes) return std::nullopt;
    const std::string_view line = file.substr(at, end - at);
    if (line.substr(0, name.size()) != name) return std::nullopt;
    at = end + 1;
    return line.substr(name.size());
}

// Exactly as the stores write keys: the identifier in signed decimal.
bool isItemKey(std::string_view key) {
    if (key.empty() || key.size() > 11) return false;
    const std::string k(key);
    return keyForOid(oidForKey(k)) == k;
}

bool isFolderName(std::string_view name) {
    if (name.empty() || name.size() > 32) return false;
    for (const char c : name) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

bool isLowerHex(std::string_view text) {
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// The checksum covers the header's fields (all lines before its own) and the item section, so
// no byte of a backup can change unnoticed.
std::uint32_t checksum(std::string_view fields, std::string_view body) { return crc32(body, crc32(fields)); }

struct HeaderAt {
    BackupHeader header;
    std::size_t fieldsEnd;  // where the checksum line starts
    std::size_t bodyStart;
};

// The header and where its parts end.
std::optional<HeaderAt> header(std::string_view file) {
    if (file.substr(0, kMagic.size()) != kMagic) return std::nullopt;
    std::size_t at = kMagic.size();
    BackupHeader h;
    const auto folder = field(file, at, "folder: ");
    const auto taken = folder ? field(file, at, "taken: ") : std::nullopt;
    const auto reason = taken ? field(file, at, "reason: ") : std::nullopt;
    const auto items = reason ? field(file, at, "items: ") : std::nullopt;
    const auto bytes = items ? field(file, at, "bytes: ") : std::nullopt;
    const std::size_t fieldsEnd = at;
    const auto crc = bytes ? field(file, at, "crc32: ") : std::nullopt;
    const auto blank = crc ? field(file, at, "") : std::nullopt;
    if (!blank || !blank->empty() || !isFolderName(*folder) || !isBackupTime(*taken)) return std::nullopt;
    h.folder = std::string(*folder);
    h.taken = std::string(*taken);
    bool known = false;
    for (const BackupReason r : {BackupReason::FirstSync, BackupReason::SlowSync, BackupReason::ByHand}) {
        if (*reason == reasonText(r)) {
            h.reason = r;
            known = true;
        }
    }
    if (!known) return std::nullopt;
    const auto count = decimal(*items, kMaxBackupItems);
    const auto size = decimal(*bytes, kMaxBackupBytes);
    std::uint32_t sum = 0;
    const auto [end, ec] = std::from_chars(crc->data(), crc->data() + crc->size(), sum, 16);
    if (!count || !size || crc->size() != 8 || !isLowerHex(*crc) || ec != std::errc() ||
        end != crc->data() + crc->size())
        return std::nullopt;
    h.items = *count;
    h.bytes = *size;
    h.crc = sum;
    return HeaderAt{h, fieldsEnd, at};
}

}  // namespace

bool isBackupTime(std::string_view t) {
    if (t.size() != 16 || t[8] != 'T' || t[15] != 'Z') return false;
    for (std::size_t i = 0; i < 15; ++i) {
        if (i != 8 && (t[i] < '0' || t[i] > '9')) return false;
    }
    return true;
}

std::string_view reasonText(BackupReason reason) {
    switch (reason) {
        case BackupReason::FirstSync: return "first sync";
        case BackupReason::SlowSync: return "slow sync";
        case BackupReason::ByHand: return "by hand";
    }
    return "slow sync";
}

void BackupBuilder::add(std::string_view key, std::string_view text) {
    body_ += "item ";
    body_ += key;
    body_ += ' ';
    body_ += std::to_string(text.size());
    body_ += '\n';
    body_ += text;
    body_ += '\n';
    ++count_;
}

std::string BackupBuilder::finish(std::string_view folder, std::string_view taken, BackupReason reason) const {
    std::string file(kMagic);
    file += "folder: ";
    file += folder;
    file += "\ntaken: ";
    file += taken;
    file += "\nreason: ";
    file += reasonText(reason);
    file += "\nitems: " + std::to_string(count_) + "\nbytes: " + std::to_string(body_.size()) + "\n";
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(checksum(file, body_)));
    file += "crc32: ";
    file += crc;
    file += "\n\n";
    file += body_;
    return file;
}

std::optional<BackupHeader> readBackupHeader(std::string_view prefix) {
    const auto h = header(prefix);
    if (!h) return std::nullopt;
    return h->header;
}

ParsedBackup parseBackup(std::string_view file) {
    const auto h = header(file);
    if (!h) return {std::nullopt, "it does not start with a backup's header"};
    const BackupHeader& head = h->header;
    const std::string_view body = file.substr(h->bodyStart);
    if (body.size() != head.bytes) {
        return {std::nullopt, "it holds " + std::to_string(body.size()) + " bytes of items where its header says " +
                                  std::to_string(head.bytes)};
    }
    if (checksum(file.substr(0, h->fieldsEnd), body) != head.crc) return {std::nullopt, "its items do not match their checksum"};
    Backup out{head, {}};
    out.items.reserve(head.items);
    std::unordered_set<std::string_view> keys;
    std::size_t at = 0;
    while (at < body.size()) {
        if (out.items.size() == head.items) return {std::nullopt, "it holds more items than its header says"};
        std::size_t lineEnd = body.find('\n', at);
        if (lineEnd == std::string_view::npos || lineEnd - at > 64 || body.substr(at, 5) != "item ")
            return {std::nullopt, "item " + std::to_string(out.items.size() + 1) + " has no item line"};
        const std::string_view line = body.substr(at + 5, lineEnd - at - 5);
        const std::size_t space = line.find(' ');
        const auto length = space == std::string_view::npos ? std::nullopt
                                                             : decimal(line.substr(space + 1), kMaxBackupItemBytes);
        if (!length || !isItemKey(line.substr(0, space)))
            return {std::nullopt, "item " + std::to_string(out.items.size() + 1) + " has a bad item line"};
        if (!keys.insert(line.substr(0, space)).second)
            return {std::nullopt, "item " + std::to_string(out.items.size() + 1) + " repeats the key of another"};
        at = lineEnd + 1;
        if (body.size() - at < *length + 1 || body[at + *length] != '\n')
            return {std::nullopt, "item " + std::to_string(out.items.size() + 1) + " is cut short"};
        out.items.push_back({std::string(line.substr(0, space)), std::string(body.substr(at, *length))});
        at += *length + 1;
    }
    if (out.items.size() != head.items) return {std::nullopt, "it holds fewer items than its header says"};
    return {std::move(out), {}};
}

}  // namespace orvale::backup
