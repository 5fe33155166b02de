#include "tools/pim/PimCommands.h"

#include <fstream>

#include "tools/pim/ExitCodes.h"
#include "tools/pim/ItemFiles.h"
#include "tools/pim/ItemSummary.h"

namespace orvale::pim_tool {

namespace {
constexpr const char* kProgram = "orvale-pim: ";

struct LoadedItems {
    std::vector<std::string> items;
    int exitCode = kOk;
};

LoadedItems loadItems(const std::vector<std::string>& files, const std::string& component, std::ostream& err) {
    LoadedItems loaded;
    for (const auto& file : files) {
        const auto text = readFile(file);
        if (!text) {
            err << kProgram << file << ": cannot be read\n";
            return {{}, kUnreadableFile};
        }
        SplitResult split = splitItems(*text);
        if (!split.error.empty()) {
            err << kProgram << file << ": " << split.error << "\n";
            return {{}, kUnparsableItem};
        }
        if (split.items.empty()) {
            err << kProgram << file << ": no items in this file\n";
            return {{}, kUnparsableItem};
        }
        for (std::size_t i = 0; i < split.items.size(); ++i) {
            const std::string problem = itemProblem(split.items[i], component);
            if (!problem.empty()) {
                err << kProgram << file << ": item " << i + 1 << " " << problem << "\n";
                return {{}, kUnparsableItem};
            }
            // One calendar holding several events or tasks is several items.
            const std::size_t slash = component.find('/');
            if (slash == std::string::npos) {
                loaded.items.push_back(std::move(split.items[i]));
                continue;
            }
            for (auto& one : splitCalendar(split.items[i], std::string_view(component).substr(slash + 1)))
                loaded.items.push_back(std::move(one));
        }
    }
    return loaded;
}

// ": " and the store's own words for its last failure, when it has any.
std::string causeOf(const StoreAccess& store) {
    const std::string cause = store.deviceError();
    return cause.empty() ? std::string() : ": " + cause;
}

bool knownKey(StoreAccess& store, const std::string& key, std::ostream& err) {
    if (store.exists(key)) return true;
    err << kProgram << "no item has the key " << key << "\n";
    return false;
}
}  // namespace

int listItems(StoreAccess& store, std::ostream& out, std::ostream& err) {
    if (!store.eachItem([&](const std::string& key, const std::string& text) { out << key << '\t' << summarise(text) << '\n'; })) {
        err << kProgram << "the list is not complete: the device database cannot be read" << causeOf(store) << "\n";
        return kNoDevice;
    }
    return kOk;
}

int showItem(StoreAccess& store, const std::string& key, std::ostream& out, std::ostream& err) {
    if (!knownKey(store, key, err)) return kUnknownKey;
    out << store.text(key);
    return kOk;
}

int importFiles(StoreAccess& store, const std::vector<std::string>& files, std::ostream& out, std::ostream& err) {
    const LoadedItems loaded = loadItems(files, store.itemComponent(), err);
    if (loaded.exitCode != kOk) return loaded.exitCode;
    // One transaction for the whole import: nothing of it is stored unless all of it is.
    if (!store.beginWrites()) {
        err << kProgram << "nothing was imported: the device database cannot be written: " << store.deviceError() << "\n";
        return kStoreRefused;
    }
    std::vector<std::string> keys;
    keys.reserve(loaded.items.size());
    for (std::size_t i = 0; i < loaded.items.size(); ++i) {
        const auto key = store.add(loaded.items[i]);
        if (!key) {
            const std::string cause = store.deviceError();
            store.abandonWrites();
            err << kProgram << "nothing was imported: item " << i + 1 << " was not stored: "
                << (cause.empty() ? "the store cannot read it as a " + store.itemComponent()
                                  : "the device database did not take it: " + cause)
                << "\n";
            return kStoreRefused;
        }
        keys.push_back(*key);
    }
    if (!store.commitWrites()) {
        err << kProgram << "nothing was imported: the device database did not keep it: " << store.deviceError() << "\n";
        return kStoreRefused;
    }
    for (const auto& key : keys) out << key << '\n';
    return kOk;
}

int exportItems(StoreAccess& store, const std::optional<std::string>& file, std::ostream& out, std::ostream& err) {
    std::string all;
    if (!store.eachItem([&](const std::string&, const std::string& text) { all += text; })) {
        err << kProgram << "nothing was exported: the device database cannot be read" << causeOf(store) << "\n";
        return kNoDevice;
    }
    if (!file) {
        out << all;
        return kOk;
    }
    std::ofstream target(*file, std::ios::binary | std::ios::trunc);
    target << all;
    target.close();
    if (!target) {
        err << kProgram << *file << ": cannot be written\n";
        return kUnreadableFile;
    }
    return kOk;
}

int editItem(StoreAccess& store, const std::string& key, const std::string& file, std::ostream& err) {
    const LoadedItems loaded = loadItems({file}, store.itemComponent(), err);
    if (loaded.exitCode != kOk) return loaded.exitCode;
    if (loaded.items.size() != 1) {
        err << kProgram << file << ": an edit needs exactly one item, the file holds " << loaded.items.size() << "\n";
        return kUnparsableItem;
    }
    if (!knownKey(store, key, err)) return kUnknownKey;
    if (!store.replace(key, loaded.items.front())) {
        err << kProgram << "the device store did not take the new text of " << key << "\n";
        return kStoreRefused;
    }
    return kOk;
}

int deleteItem(StoreAccess& store, const std::string& key, std::ostream& err) {
    if (!knownKey(store, key, err)) return kUnknownKey;
    if (!store.remove(key)) {
        err << kProgram << "the device store did not delete " << key << "\n";
        return kStoreRefused;
    }
    return kOk;
}

}  // namespace orvale::pim_tool
