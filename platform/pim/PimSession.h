#pragma once
// The device's personal-information store: one process-wide session over <root>/pim.db, or over
// the desktop's Evolution Data Server when the store choice says so. Items are loaded whole when
// opened and written whole by save(), in one transaction, so a second process using the same store
// never sees half an item.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pim/PimTypes.h"

namespace orvale::platform::pim {

class Session;
class Backend;
class SqliteBackend;
class EdsBackend;

class Item {
public:
    uint32_t oid() const { return oid_; }  // 0 until first saved
    int type() const { return type_; }
    int folder() const { return folder_; }

    // One value per identifier, in order; kFlagNotFound for what the item lacks. An appointment's or
    // task's kIsRecurringProp is always there: whether it has a recurrence pattern.
    std::vector<PropValue> getProps(const std::vector<uint32_t>& ids) const;
    PropValue getProp(uint32_t id) const;
    // The values the item holds, in no particular order, without copying them (and without the
    // values getProp works out, such as kIsRecurringProp).
    const std::vector<PropValue>& heldProps() const { return props_; }
    // Values whose identifier type does not match the field they fill are taken by identifier type.
    void setProps(const std::vector<PropValue>& values);
    void removeProp(uint32_t id);

    // Picture stream of a contact (property 0x00FF0064).
    std::string picture() const;
    void setPicture(std::string bytes);

    bool isRecurring() const { return recurrence_.has_value(); }
    // Creates a pattern on first use, as the device does: it starts at the item's start (for a
    // task its start date, else its due date), never ends, and takes its weekday, day, week and
    // month from that start. Writing the start later moves the pattern with it.
    RecurrencePattern& recurrence();
    void clearRecurrence() { recurrence_.reset(); }
    // The pattern of a recurring item, for a reader that must not make one; null otherwise.
    const RecurrencePattern* recurrencePattern() const { return recurrence_ ? &*recurrence_ : nullptr; }
    // Whether an occurrence starts at `variantDateTime`; deleting it adds an exception.
    bool hasOccurrenceAt(double variantDateTime) const;
    bool deleteOccurrenceAt(double variantDateTime);

    std::vector<Recipient>& recipients() { return recipients_; }
    const std::vector<Recipient>& recipients() const { return recipients_; }

    // Both refuse an item read by Session::readFolder: it holds only part of its properties, and
    // writing it back would lose the rest.
    bool save();
    bool remove();
    bool partial() const { return partial_; }

private:
    friend class Session;
    friend class SqliteBackend;
    friend class EdsBackend;
    void followStart();
    Session* session_ = nullptr;
    uint32_t oid_ = 0;
    int type_ = 0;
    int folder_ = 0;
    std::vector<PropValue> props_;
    std::optional<RecurrencePattern> recurrence_;
    std::vector<Recipient> recipients_;
    bool partial_ = false;
};

class ItemCollection {
public:
    int count() const { return static_cast<int>(oids_.size()); }
    // 1-based; null for a position outside the collection or an item deleted meanwhile.
    std::unique_ptr<Item> item(int position) const;
    uint32_t oidAt(int position) const;
    // Only "[Oid]" is known: ascending object identifier. Other keys are refused.
    bool sort(std::string_view property);

private:
    friend class Session;
    void followStart();
    Session* session_ = nullptr;
    std::vector<uint32_t> oids_;
};

class Session {
public:
    // Opens the store the store choice names: <root>/pim.db (created when missing), or the chosen
    // Evolution Data Server sources with their identifier table <root>/eds-ids.db. Returns false
    // when the store cannot be opened, and then puts what went wrong, naming it, into `why`.
    // ReadOnly neither creates nor changes the file: a missing one reads as an empty device (held in
    // memory), and every write of the session fails.
    enum class Access { ReadWrite, ReadOnly };
    static bool logOn(std::string* why = nullptr, Access access = Access::ReadWrite);
    static void logOff();
    static Session* current();

    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // 9 calendar, 10 contacts, 13 tasks; anything else gives nothing.
    std::optional<ItemCollection> defaultFolderItems(int folder);
    std::unique_ptr<Item> itemByOid(uint32_t oid);
    // Every item of a folder in collection order, read in one transaction with a fixed number of
    // queries however many items there are: of the properties only those in `propIds` (stream
    // values cut to `streamLimit` bytes), and the recurrence pattern, its exceptions and the
    // recipients whole. Nothing for an unknown folder or a failed read. The items are partial.
    std::optional<std::vector<Item>> readFolder(int folder, const std::vector<uint32_t>& propIds,
                                                size_t streamLimit);
    // The same read handed to `visit` item by item, in collection order, holding only `chunkItems`
    // items at a time (still one transaction, four queries per chunk), so a large folder costs no
    // more memory than a chunk. `visit` must not write to the store. False for an unknown folder or
    // a failed read; items visited before a failure are then no complete picture of the folder.
    bool visitFolder(int folder, const std::vector<uint32_t>& propIds, size_t streamLimit,
                     const std::function<void(Item&)>& visit, size_t chunkItems = kFolderReadChunk);
    static constexpr size_t kFolderReadChunk = 256;
    // The items of these identifiers read whole, as itemByOid reads each, but in one transaction
    // and a fixed number of queries per kReadManyChunk identifiers: one entry per identifier, in
    // the order given, null for an identifier that names no item. Nullopt when the read failed.
    std::optional<std::vector<std::unique_ptr<Item>>> itemsByOid(const std::vector<uint32_t>& oids);
    static constexpr size_t kReadManyChunk = 64;
    // The folder's items in collection order, leaving out those whose 32-bit property `markProp`
    // is present and not 0; one index lookup per item rather than a read of its properties.
    // Nullopt for an unknown folder or a failed read.
    std::optional<std::vector<uint32_t>> itemsWithout(int folder, uint32_t markProp);
    // kAppointment, kContact or kTask; null for other types.
    std::unique_ptr<Item> createItem(int type);

    // Whether this process saved or removed the item since logging on. Other processes may write
    // the same database meanwhile; this tells a run's own writes apart from theirs.
    bool writtenHere(uint32_t oid) const;

    // A batch: every save, remove and pending-map change between beginBatch and commitBatch is
    // durable together, at the commit, or not at all (one transaction, one sync to disk). A save
    // or remove that fails inside the batch is undone alone and the batch goes on. Calls nest:
    // only the outermost commit ends the batch. False from beginBatch when no batch could be
    // opened (the database is held by another process beyond the busy timeout); nothing is then
    // open and nothing needs ending. False from commitBatch when the batch's writes were not
    // kept, none of them.
    // A whole batch (`whole`, taken from the outermost call) is kept entire or not at all: its
    // writes are not undone one by one, so they cost no savepoint each, and one that fails breaks
    // the batch, whose commit then keeps nothing.
    bool beginBatch(bool whole = false);
    bool commitBatch();
    // Ends the batch (all nesting levels) without keeping anything of it.
    void rollbackBatch();
    bool inBatch() const;
    // The database's own words for the last write (save, remove, batch) that failed; empty while
    // none has.
    std::string lastError() const;

    // The server items a sync stored in a folder and whose Maps the server may not have got:
    // each server item ID with the item it was stored as. Kept in the database beside the items,
    // so inside a batch an entry is durable exactly when its item is. Sync bookkeeping, not part
    // of any item; nothing else reads it.
    struct PendingMap {
        std::string serverId;
        uint32_t oid = 0;
    };
    // In the order noted; nullopt when the read failed or the folder holds more than `most`.
    std::optional<std::vector<PendingMap>> pendingMaps(int folder, size_t most);
    // Notes or replaces the entry for `serverId`.
    bool notePendingMap(int folder, std::string_view serverId, uint32_t oid);
    bool dropPendingMaps(int folder);
    // An identifier taken from the counter new items draw from, with no item made: no item has it
    // or will ever be given it. Inside a batch it is taken durably with the batch (a batch that is
    // not kept gives it back, and nothing can have used it). Nullopt when it could not be taken.
    std::optional<uint32_t> reserveOid();

    // Whether the items live in Evolution Data Server rather than Orvale's own database.
    bool overEds() const;
    // Whether the folder's items can be reached now: always so in the own database; over
    // Evolution Data Server its source is connected, and when that fails (no session bus, the
    // source removed) `why` says so. A folder that cannot be reached reads as failed reads only.
    bool reachFolder(int folder, std::string* why);

private:
    friend class Item;
    friend class ItemCollection;
    explicit Session(std::unique_ptr<Backend> backend);
    std::unique_ptr<Backend> backend_;
};

}  // namespace orvale::platform::pim
