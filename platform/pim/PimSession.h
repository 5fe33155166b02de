#pragma once
// The device's personal-information store: one process-wide session over <root>/pim.db. Items are
// loaded whole when opened and written whole by save(), in one transaction, so a second process
// using the same file never sees half an item.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/pim/PimTypes.h"

namespace orvale::platform::pim {

class Session;

class Item {
public:
    uint32_t oid() const { return oid_; }  // 0 until first saved
    int type() const { return type_; }
    int folder() const { return folder_; }

    // One value per identifier, in order; kFlagNotFound for what the item lacks. An appointment's or
    // task's kIsRecurringProp is always there: whether it has a recurrence pattern.
    std::vector<PropValue> getProps(const std::vector<uint32_t>& ids) const;
    PropValue getProp(uint32_t id) const;
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
    // Opens <root>/pim.db (created when missing). Returns false when the file cannot be opened.
    static bool logOn();
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
    // kAppointment, kContact or kTask; null for other types.
    std::unique_ptr<Item> createItem(int type);

    // Whether this process saved or removed the item since logging on. Other processes may write
    // the same database meanwhile; this tells a run's own writes apart from theirs.
    bool writtenHere(uint32_t oid) const;

    struct Impl;

private:
    friend class Item;
    friend class ItemCollection;
    explicit Session(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace orvale::platform::pim
