#include "stores/ChangeTracker.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"
#include "platform/StringTable.h"
#include "platform/SystemTime.h"
#include "platform/TextConversion.h"
#include "stores/Crc32.h"
#include "stores/ProgressReporter.h"

namespace orvale {

namespace pim = platform::pim;

namespace {

constexpr uint32_t kExclusionProp = ChangeTracker::kExclusionProperty;
// The fingerprint takes the picture's text from at most this many bytes of it: as much as a contact
// keeps and sends, so that a change anywhere in a picture is one.
constexpr size_t kPictureLimit = 4 * 1024 * 1024;
// Recorded for an identifier the device never held (ChangeTracker::recordGone).
constexpr uint32_t kGoneFingerprint = 1;

void showStatus(platform::StringId id) {
    if (ProgressReporter* r = currentProgressReporter()) r->showStatus(platform::loadString(id));
}

// File time (100 ns since 1601) to calendar fields, no zone applied.
void appendFileTime(std::u16string& out, uint64_t ft) {
    constexpr int64_t kDay = platform::kSecondsPerDay;
    int64_t secs = static_cast<int64_t>(ft / platform::kTicksPerSecond) - platform::kSecondsFrom1601To1970;
    int64_t days = secs >= 0 ? secs / kDay : (secs - (kDay - 1)) / kDay;
    int64_t rem = secs - days * kDay;
    int64_t y = 0;
    unsigned m = 0, d = 0;
    platform::daysToCivil(days, y, m, d);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d%02d%02dT%02d%02d%02dZ", static_cast<int>(y), m, d,
                  static_cast<int>(rem / 3600), static_cast<int>(rem / 60 % 60), static_cast<int>(rem % 60));
    for (const char* p = buf; *p; ++p) out.push_back(static_cast<char16_t>(*p));
}

void appendAscii(std::u16string& out, const std::string& s) {
    for (char c : s) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
}

}  // namespace

std::string ChangeTracker::databaseName(int folder) {
    switch (folder) {
    case pim::kFolderCalendar: return "Calendar.hdb";
    case pim::kFolderContacts: return "Contacts.hdb";
    case pim::kFolderTasks: return "Tasks.hdb";
    default: return {};
    }
}

bool ChangeTracker::excluded(const pim::Item& item) {
    pim::PropValue v = item.getProp(kExclusionProp);
    return v.flags != pim::kFlagNotFound && v.u32 != 0;
}

std::vector<uint32_t> ChangeTracker::includedItems(int folder) {
    pim::Session* s = pim::Session::current();
    if (!s) return {};
    // Only the exclusion mark is looked up: loading every item just to test it costs a read of
    // the folder's every property.
    return s->itemsWithout(folder, kExclusionProp).value_or(std::vector<uint32_t>{});
}

uint32_t ChangeTracker::fingerprint(pim::Item& item) const {
    std::vector<pim::PropValue> values = item.getProps(rowIds_);
    std::u16string text;
    for (size_t i = 0; i < values.size(); ++i) {
        const pim::PropValue& v = values[i];
        bool present = v.flags != pim::kFlagNotFound;
        switch (profile_.rows[i].kind) {
        case RowKind::Text:
            if (present) text += v.text;
            break;
        case RowKind::Time:
            if (present && (v.fileTime >> 32) != 0) appendFileTime(text, v.fileTime);
            break;
        case RowKind::Number16:
            if (present && (v.u32 & 0xFFFFu) != 0) appendAscii(text, std::to_string(v.u32 & 0xFFFFu));
            break;
        case RowKind::Flag:
            text.push_back(present && v.u32 != 0 ? u'1' : u'0');
            break;
        case RowKind::Skip:
            break;
        }
    }
    if (profile_.extraText) text += profile_.extraText(item, values);
    // UTF-8 rather than the low byte of each unit: the same bytes for ASCII, so recorded
    // fingerprints stay valid, while edits to other characters are no longer invisible.
    return crc32(platform::utf16ToUtf8(text));
}

ChangeTracker::ChangeTracker(TrackerProfile profile) : profile_(std::move(profile)) {
    rowIds_.reserve(profile_.rows.size());
    for (const auto& r : profile_.rows) rowIds_.push_back(r.id);
    showStatus(platform::StringId::CheckingForChanges);
    load();
    compute();
}

bool ChangeTracker::save() {
    if (discarded_) return true;
    if (saved_) return *saved_;
    showStatus(platform::StringId::FinalizingChanges);
    saved_ = writeDatabase();
    if (*saved_)
        for (const auto& then : afterSave_) then();
    return *saved_;
}

namespace {
uint32_t littleEndian32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

void ChangeTracker::load() {
    recorded_.clear();
    std::string name = databaseName(profile_.folder);
    if (name.empty()) return;
    std::ifstream in(platform::hostPath(name), std::ios::binary);
    unsigned char rec[8];
    // A trailing partial record (never written by us) is ignored.
    while (in.read(reinterpret_cast<char*>(rec), 8)) {
        const uint32_t oid = littleEndian32(rec);
        const uint32_t fp = littleEndian32(rec + 4);
        recorded_[static_cast<int32_t>(oid)] = fp;
    }
}

bool ChangeTracker::scanFolder(const std::function<void(pim::Item&)>& visit) const {
    pim::Session* s = pim::Session::current();
    if (!s) return false;
    std::vector<uint32_t> ids = rowIds_;
    ids.push_back(kExclusionProp);
    ids.push_back(pim::kPictureProp);
    return s->visitFolder(profile_.folder, ids, kPictureLimit, visit);
}

void ChangeTracker::compute() {
    Map current;
    std::vector<uint32_t> added, updated;
    const bool read = scanFolder([&](pim::Item& item) {
        if (excluded(item)) return;
        if (profile_.observe) profile_.observe(item);
        uint32_t fp = fingerprint(item);
        int32_t key = static_cast<int32_t>(item.oid());
        current[key] = fp;
        auto it = recorded_.find(key);
        if (it == recorded_.end()) added.push_back(item.oid());
        else if (it->second != fp) updated.push_back(item.oid());
    });
    profile_.observe = nullptr;
    if (!read) return;
    // Ascending identifier, as the collection sorted by "[Oid]" gives them.
    std::sort(added.begin(), added.end());
    std::sort(updated.begin(), updated.end());
    current_ = std::move(current);
    new_ = std::move(added);
    updated_ = std::move(updated);
    for (const auto& [key, fp] : recorded_)
        if (!current_.count(key)) deleted_.push_back(static_cast<uint32_t>(key));
    scanned_ = current_;
    scanDone_ = true;
}

void ChangeTracker::preserve(std::vector<uint32_t>& ids) {
    for (uint32_t oid : ids) {
        auto it = recorded_.find(static_cast<int32_t>(oid));
        preserved_[static_cast<int32_t>(oid)] = it != recorded_.end() ? it->second : 0;
    }
    ids.clear();
}

bool ChangeTracker::writeDatabase() {
    std::string name = databaseName(profile_.folder);
    if (name.empty()) return false;
    // Items reported this run that the server did not accept keep their recorded state.
    Map kept = preserved_;
    auto keep = [&](uint32_t oid) {
        if (acknowledged_.count(oid)) return;
        auto it = recorded_.find(static_cast<int32_t>(oid));
        kept[static_cast<int32_t>(oid)] = it != recorded_.end() ? it->second : 0;
    };
    for (uint32_t oid : new_) keep(oid);
    for (uint32_t oid : updated_) keep(oid);

    // What another process did to the folder while the run was going was never sent: an item it
    // changed keeps the state the scan saw (so the change is found next time), one it created stays
    // unrecorded, one it deleted stays recorded. Only the run's own writes are taken as they are now.
    const pim::Session* session = pim::Session::current();
    auto ownWrite = [&](uint32_t oid) { return !scanDone_ || !session || session->writtenHere(oid); };
    Map current;
    std::set<int32_t> present;
    const bool read = scanFolder([&](pim::Item& item) {
        int32_t key = static_cast<int32_t>(item.oid());
        present.insert(key);
        if (excluded(item)) return;
        auto it = kept.find(key);
        if (it != kept.end()) {
            if (it->second != 0) current[key] = it->second;
        } else if (ownWrite(item.oid())) {
            current[key] = fingerprint(item);
        } else if (auto seen = scanned_.find(key); seen != scanned_.end()) {
            current[key] = seen->second;
        }
    });
    if (!read) return false;
    current_ = std::move(current);
    for (const auto& [key, fp] : scanned_) {
        if (present.count(key) || ownWrite(static_cast<uint32_t>(key))) continue;
        auto it = kept.find(key);
        const uint32_t state = it != kept.end() ? it->second : fp;
        if (state != 0) current_[key] = state;
    }
    // A deletion the server did not accept stays recorded, so it is reported again.
    for (uint32_t oid : deleted_) {
        int32_t key = static_cast<int32_t>(oid);
        if (!acknowledged_.count(oid) && !current_.count(key)) current_[key] = recorded_[key];
    }
    // Server items the device never held: recorded as held, so the next run reports them deleted.
    // No item has their identifier, so the fingerprint is never compared with one.
    for (uint32_t oid : gone_) {
        const int32_t key = static_cast<int32_t>(oid);
        if (!present.count(key)) current_.emplace(key, kGoneFingerprint);
    }

    std::string bytes;
    bytes.reserve(current_.size() * 8);
    for (const auto& [key, fp] : current_) {
        uint32_t oid = static_cast<uint32_t>(key);
        for (uint32_t v : {oid, fp})
            for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<char>((v >> (8 * b)) & 0xFFu));
    }
    // Replaced whole: a process that dies while writing leaves the old database, never part of one.
    return platform::writeWholeFile(platform::hostPath(name), bytes, 0644);
}

}  // namespace orvale
