#pragma once
// What the tool does with a folder of the device store, in terms of keys and item texts. Everything
// goes through the generic store interface, so a folder works here as soon as its store exists.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "stores/backup/StoreBackup.h"

namespace orvale::pim_tool {

class StoreAccess {
public:
    // None when no store of that kind is registered, or when the device cannot be used; then
    // `problem` says why (the device folder cannot be created, the database cannot be opened) and
    // is empty for a kind without a store. `kindName` is a folder name the registry knows
    // ("Contacts", "Calendar", "Tasks").
    // `readOnly`: the device is only read (every write fails), and nothing is created for it.
    static std::unique_ptr<StoreAccess> open(const std::string& kindName, std::string& problem, bool readOnly = false);
    virtual ~StoreAccess() = default;

    // The adds and replaces between these become durable together, at commitWrites, or not at all.
    // The caller abandons the writes at the first one refused: after it, commitWrites keeps nothing.
    virtual bool beginWrites() = 0;
    virtual bool commitWrites() = 0;
    virtual void abandonWrites() = 0;
    // The device database's own words for its last failed write; empty when none failed.
    virtual std::string deviceError() const = 0;

    // The folder's backups: a new one taken now, and the folder put back as one holds it.
    virtual std::optional<std::string> backUp() = 0;
    virtual backup::RestoreOutcome restore(const backup::Backup& backup) = 0;

    // The versit component the store's items are made of, and the one it holds when it is a
    // calendar ("VCARD", "VCALENDAR/VEVENT", "VCALENDAR/VTODO").
    virtual std::string itemComponent() const = 0;
    // In the store's own order.
    virtual std::vector<std::string> keys() = 0;
    virtual bool exists(const std::string& key) = 0;
    // The item as the store exports it.
    virtual std::string text(const std::string& key) = 0;
    // Every item with its key, in the store's own order, as text() gives it: one walk of the folder.
    // False when the folder could not be read whole (the items visited are then not all of it).
    virtual bool eachItem(const std::function<void(const std::string& key, const std::string& text)>& use) = 0;
    // The new item's key, or none when the store refused the text.
    virtual std::optional<std::string> add(const std::string& text) = 0;
    virtual bool replace(const std::string& key, const std::string& text) = 0;
    virtual bool remove(const std::string& key) = 0;
};

}  // namespace orvale::pim_tool
