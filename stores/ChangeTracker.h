#pragma once
// Finds a folder's local changes between runs by comparing each item's fingerprint with the one
// recorded at the end of the previous run in the folder's change database ("Contacts.hdb" etc.).
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/pim/PimSession.h"

namespace orvale {

enum class RowKind { Text, Time, Number16, Flag, Skip };

struct FingerprintRow {
    uint32_t id;
    RowKind kind;
};

// What a store kind gives the tracker: its folder, the properties that make up the fingerprint, and
// the texts beyond them (picture, recurrence rule, exceptions, recipients) that the store knows how
// to write. `extraText` may be empty. It is given an item that holds only the rows' properties, the
// picture, the recurrence pattern and the recipients.
struct TrackerProfile {
    int folder = 0;
    std::vector<FingerprintRow> rows;
    std::function<std::u16string(platform::pim::Item&, const std::vector<platform::pim::PropValue>&)> extraText;
    // Given every item the first scan counts (so a store that needs the same items need not read the
    // folder again); used at construction only, and dropped after it. May be empty.
    std::function<void(const platform::pim::Item&)> observe = nullptr;
};

class ChangeTracker {
public:
    // Shows "Checking for changes...", loads the database and computes the three lists.
    explicit ChangeTracker(TrackerProfile profile);
    // Writes nothing: the database is rewritten only by save().
    ~ChangeTracker() = default;
    ChangeTracker(const ChangeTracker&) = delete;
    ChangeTracker& operator=(const ChangeTracker&) = delete;

    std::vector<uint32_t> newList() const { return new_; }
    std::vector<uint32_t> updatedList() const { return updated_; }
    std::vector<uint32_t> deletedList() const { return deleted_; }

    // Carries the recorded state of these items over into the rewritten database; empties `ids`.
    void preserve(std::vector<uint32_t>& ids);
    // The server accepted the item; without this, an item reported in this run keeps its recorded
    // state so that the next run reports it again.
    void acknowledge(uint32_t oid) { acknowledged_.insert(oid); }
    // An identifier the device does not hold that the server does: the rewritten database records
    // it, so that the next run reports it deleted (and its Delete goes to the server).
    void recordGone(uint32_t oid) { gone_.insert(oid); }
    // The database stays as it is: nothing of this session is recorded, and save() writes nothing.
    void discard() { discarded_ = true; }
    // Shows "Finalizing changes..." and rewrites the database from the device's state. False when
    // it could not be (it then keeps the previous run's records, so the next run reports this
    // run's changes again). A discarded tracker writes nothing and succeeds. Later calls write
    // nothing and give the first call's answer.
    bool save();
    // Runs once the database has been rewritten and is on disk; not when it could not be, or the
    // tracker is discarded.
    void whenSaved(std::function<void()> then) { afterSave_.push_back(std::move(then)); }

    // The property that excludes an item from synchronisation when set and non-zero.
    static constexpr uint32_t kExclusionProperty = 0x001B0013;

    uint32_t fingerprint(platform::pim::Item& item) const;
    static bool excluded(const platform::pim::Item& item);
    // The folder's items that are not excluded, in collection order; nothing when it cannot be read.
    static std::vector<uint32_t> includedItems(int folder);
    static std::string databaseName(int folder);

private:
    using Map = std::map<int32_t, uint32_t>;
    void load();
    // Hands the folder's items, as the fingerprints need them, to `visit` in collection order,
    // a chunk at a time. False when the folder could not be read.
    bool scanFolder(const std::function<void(platform::pim::Item&)>& visit) const;
    void compute();
    bool writeDatabase();

    TrackerProfile profile_;
    std::vector<uint32_t> rowIds_;
    Map recorded_;
    Map current_;
    // The fingerprints as the scan saw them; kept for items that another process changed while
    // the run was going, whose new state this run never sent.
    Map scanned_;
    bool scanDone_ = false;
    std::vector<uint32_t> new_, updated_, deleted_;
    Map preserved_;
    std::set<uint32_t> acknowledged_;
    std::set<uint32_t> gone_;
    bool discarded_ = false;
    std::optional<bool> saved_;
    std::vector<std::function<void()>> afterSave_;
};

}  // namespace orvale
