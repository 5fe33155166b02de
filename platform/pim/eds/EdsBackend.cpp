// The device store over Evolution Data Server. Writes are journalled in the identifier table before
// they reach EDS, in this order (the table and EDS share no transaction):
//   1. one transaction of the table: new items get their identifiers and the UIDs we choose for
//      them, every write of the batch is noted as intended, with the batch's pending maps; synced;
//   2. the EDS batch calls, kBatchItems items per call;
//   3. one transaction of the table marking the writes done.
// A process killed before 1 ends has written nothing anywhere. Killed between 1 and 3, the next
// log-on asks EDS which of the intended UIDs it holds: an add it holds is kept (with its pending
// map, so the server gets its Map), an add it lacks is forgotten with its pending map (the server
// never got our status and sends the item again), a remove whose item is still there leaves it.
// So no item is lost, none is stored twice, and none is in EDS without the journal knowing it.
#include "platform/pim/eds/EdsBackend.h"

#include <map>
#include <random>
#include <set>
#include <unordered_map>

#include "platform/DevicePaths.h"
#include "platform/pim/PimBackend.h"
#include "platform/pim/eds/EdsFolder.h"
#include "platform/pim/eds/EdsIdentity.h"

namespace orvale::platform::pim {

using eds::Folder;
using eds::Identity;
using eds::ItemContent;

namespace {

int typeOfFolder(int folder) {
    switch (folder) {
    case kFolderCalendar: return kAppointment;
    case kFolderContacts: return kContact;
    case kFolderTasks: return kTask;
    default: return 0;
    }
}

// UIDs of the items we create: unique without asking EDS, so the UID can be journalled before
// the item exists.
std::string newUid() {
    static std::mt19937_64 random{std::random_device{}() ^ (uint64_t{std::random_device{}()} << 32)};
    char text[48];
    std::snprintf(text, sizeof text, "orvale-%016llx%016llx", static_cast<unsigned long long>(random()),
                  static_cast<unsigned long long>(random()));
    return text;
}

template <typename T>
std::vector<std::vector<T>> chunks(const std::vector<T>& all) {
    std::vector<std::vector<T>> out;
    for (size_t first = 0; first < all.size(); first += Folder::kBatchItems)
        out.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(first),
                         all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), first + Folder::kBatchItems)));
    return out;
}

}  // namespace

class EdsBackend final : public Backend {
public:
    EdsBackend(std::unique_ptr<Identity> ids, const StoreChoice& choice, bool readOnly)
        : ids_(std::move(ids)), choice_(choice), readOnly_(readOnly) {}

    // Settles what a run that died between steps 1 and 3 left intended.
    bool recover(std::string* why) {
        auto intended = ids_->intended();
        if (!intended) return fail(why, "the EDS identifier table cannot be read: " + ids_->error());
        if (intended->empty()) return true;
        std::map<int, std::vector<Identity::Entry>> byFolder;
        for (auto& e : *intended) byFolder[e.folder].push_back(std::move(e));
        std::vector<uint32_t> done, removed, lost;
        for (auto& [folderNumber, entries] : byFolder) {
            Folder* f = folder(folderNumber, why);
            if (f == nullptr) return false;
            std::set<std::string> there;
            std::vector<std::string> uids;
            for (const auto& e : entries) uids.push_back(e.uid);
            for (const auto& part : chunks(uids)) {
                auto held = f->present(part, why);
                if (!held) return false;
                there.insert(held->begin(), held->end());
            }
            for (const auto& e : entries) {
                const bool present = there.count(e.uid) != 0;
                if (e.intent == Identity::Intent::Add && !present) lost.push_back(e.oid);
                else if (e.intent == Identity::Intent::Remove && !present) removed.push_back(e.oid);
                else done.push_back(e.oid);
            }
        }
        if (!ids_->begin()) return fail(why, "the EDS identifier table cannot be written: " + ids_->error());
        if (!ids_->settle(done, removed) || !ids_->forget(lost)) {
            ids_->rollback();
            return fail(why, "the EDS identifier table cannot be written: " + ids_->error());
        }
        return ids_->commit() || fail(why, "the EDS identifier table cannot be written: " + ids_->error());
    }

    std::unique_ptr<Item> load(uint32_t oid) override {
        auto many = loadMany({oid});
        return many && !many->empty() ? std::move((*many)[0]) : nullptr;
    }

    std::optional<std::vector<std::unique_ptr<Item>>> loadMany(const std::vector<uint32_t>& oids) override {
        std::vector<std::unique_ptr<Item>> out(oids.size());
        // What to fetch, by folder: the UID and the places it fills.
        std::map<int, std::vector<std::pair<std::string, size_t>>> wanted;
        for (size_t k = 0; k < oids.size(); ++k) {
            if (auto q = queue_.find(oids[k]); q != queue_.end()) {
                if (q->second.op != Identity::Intent::Remove) out[k] = makeItem(oids[k], q->second.folder, q->second.content, false);
                continue;
            }
            auto entry = ids_->byOid(oids[k]);
            if (entry && entry->intent != Identity::Intent::Remove) wanted[entry->folder].emplace_back(entry->uid, k);
        }
        for (auto& [folderNumber, places] : wanted) {
            Folder* f = folder(folderNumber, &lastError_);
            if (f == nullptr) return std::nullopt;
            for (const auto& part : chunks(places)) {
                std::vector<std::string> uids;
                for (const auto& p : part) uids.push_back(p.first);
                auto read = f->read(uids, &lastError_);
                if (!read) return std::nullopt;
                std::unordered_map<std::string, const ItemContent*> byUid;
                for (const auto& [uid, content] : *read) byUid.emplace(uid, &content);
                for (const auto& [uid, at] : part)
                    if (auto c = byUid.find(uid); c != byUid.end()) out[at] = makeItem(oids[at], folderNumber, *c->second, false);
            }
        }
        return out;
    }

    bool save(Item& item) override {
        if (!writable()) return false;
        const bool alone = !inBatch();
        if (alone && !beginBatch(false)) return false;
        const bool isNew = item.oid_ == 0;
        bool ok = true;
        uint32_t oid = item.oid_;
        std::string uid;
        if (isNew) {
            uid = newUid();
            auto allocated = ids_->addIntended(item.folder_, uid);
            ok = allocated.has_value();
            if (ok) oid = *allocated;
        } else if (auto q = queue_.find(oid); q != queue_.end()) {
            ok = q->second.op != Identity::Intent::Remove;
            uid = q->second.uid;
        } else {
            auto entry = ids_->byOid(oid);
            ok = entry && entry->folder == item.folder_ && ids_->setIntent(oid, Identity::Intent::Modify);
            if (ok) uid = entry->uid;
        }
        if (ok) {
            Queued& q = queue_[oid];
            // An item added in this batch is still an add, however often it is saved again.
            if (q.uid.empty()) q = Queued{isNew ? Identity::Intent::Add : Identity::Intent::Modify, item.folder_, uid, {}};
            q.content = contentOf(item);
            item.oid_ = oid;
            written_.insert(oid);
        } else {
            lastError_ = "the item cannot be noted in the EDS identifier table: " + ids_->error();
            if (inBatch() && batchWhole_) broken_ = true;
        }
        if (alone) {
            const bool kept = commitBatch();
            if (!kept && isNew) item.oid_ = 0;
            return ok && kept;
        }
        return ok;
    }

    bool remove(Item& item) override {
        if (!writable()) return false;
        const bool alone = !inBatch();
        if (alone && !beginBatch(false)) return false;
        const uint32_t oid = item.oid_;
        bool ok = true;
        if (auto q = queue_.find(oid); q != queue_.end() && q->second.op == Identity::Intent::Add) {
            // Added and removed in one batch: EDS never sees it.
            queue_.erase(q);
            ok = ids_->forget({oid});
        } else if (q != queue_.end()) {
            ok = q->second.op != Identity::Intent::Remove && ids_->setIntent(oid, Identity::Intent::Remove);
            if (ok) q->second.op = Identity::Intent::Remove;
        } else {
            auto entry = ids_->byOid(oid);
            ok = entry && entry->intent == Identity::Intent::None && ids_->setIntent(oid, Identity::Intent::Remove);
            if (ok) queue_[oid] = Queued{Identity::Intent::Remove, entry->folder, entry->uid, {}};
        }
        if (ok) {
            written_.insert(oid);
            item.oid_ = 0;
        } else {
            lastError_ = "the item is not in the EDS identifier table";
            if (batchWhole_) broken_ = true;
        }
        if (alone) return commitBatch() && ok;
        return ok;
    }

    std::optional<std::vector<uint32_t>> folderOids(int folder) override {
        auto entries = listing(folder);
        if (!entries) return std::nullopt;
        std::vector<uint32_t> oids;
        oids.reserve(entries->size());
        for (const auto& e : *entries) oids.push_back(e.oid);
        return oids;
    }

    bool visitFolder(int folderNumber, const std::vector<uint32_t>& propIds, size_t streamLimit,
                     const std::function<void(Item&)>& visit, size_t chunkItems) override {
        auto entries = listing(folderNumber);
        if (!entries) return false;
        Folder* f = folder(folderNumber, &lastError_);
        if (f == nullptr) return false;
        std::set<uint32_t> wanted(propIds.begin(), propIds.end());
        const size_t step = std::max<size_t>(1, std::min(chunkItems, Folder::kBatchItems));
        for (size_t first = 0; first < entries->size(); first += step) {
            const size_t end = std::min(entries->size(), first + step);
            std::vector<std::string> uids;
            for (size_t k = first; k < end; ++k) uids.push_back((*entries)[k].uid);
            auto read = f->read(uids, &lastError_);
            if (!read) return false;
            std::unordered_map<std::string, ItemContent*> byUid;
            for (auto& [uid, content] : *read) byUid.emplace(uid, &content);
            for (size_t k = first; k < end; ++k) {
                auto c = byUid.find((*entries)[k].uid);
                // Gone from EDS since the listing: the next listing forgets it.
                if (c == byUid.end()) continue;
                ItemContent& content = *c->second;
                std::erase_if(content.props, [&](const PropValue& v) { return wanted.count(v.id) == 0; });
                if (wanted.count(kPictureProp) == 0) content.picture.clear();
                else if (content.picture.size() > streamLimit) content.picture.resize(streamLimit);
                auto item = makeItem((*entries)[k].oid, folderNumber, content, true);
                visit(*item);
            }
        }
        return true;
    }

    std::optional<std::vector<uint32_t>> itemsWithout(int folderNumber, uint32_t markProp) override {
        std::vector<uint32_t> oids;
        const bool ok = visitFolder(folderNumber, {markProp}, 0, [&](Item& item) {
            const PropValue v = item.getProp(markProp);
            if (v.flags != 0 || v.u32 == 0) oids.push_back(item.oid());
        }, Folder::kBatchItems);
        if (!ok) return std::nullopt;
        return oids;
    }

    bool writtenHere(uint32_t oid) const override { return written_.count(oid) != 0; }

    bool beginBatch(bool whole) override {
        if (depth_ > 0) {
            ++depth_;
            return true;
        }
        if (!ids_->begin()) {
            lastError_ = "the EDS identifier table is busy: " + ids_->error();
            return false;
        }
        depth_ = 1;
        broken_ = false;
        batchWhole_ = whole;
        return true;
    }

    bool commitBatch() override {
        if (depth_ == 0) return false;
        if (--depth_ > 0) return !broken_;
        if (broken_) {
            rollbackBatch();
            return false;
        }
        // Step 1: the intents and the pending maps are on disk before EDS sees anything.
        if (!ids_->commit()) {
            lastError_ = "the EDS identifier table cannot be written: " + ids_->error();
            queue_.clear();
            return false;
        }
        // Step 2.
        std::map<int, std::map<Identity::Intent, std::vector<std::pair<uint32_t, Queued*>>>> work;
        for (auto& [oid, q] : queue_) work[q.folder][q.op].emplace_back(oid, &q);
        std::vector<uint32_t> done, removed, lost;
        bool allDone = true;
        for (auto& [folderNumber, byOp] : work) {
            Folder* f = folder(folderNumber, &lastError_);
            for (auto& [op, entries] : byOp) {
                for (const auto& part : chunks(entries)) {
                    std::vector<std::string> uids;
                    std::vector<std::pair<std::string, const ItemContent*>> items;
                    for (const auto& [oid, q] : part) {
                        uids.push_back(q->uid);
                        items.emplace_back(q->uid, &q->content);
                    }
                    bool ok = f != nullptr;
                    if (ok && op == Identity::Intent::Add) ok = f->add(items, &lastError_);
                    else if (ok && op == Identity::Intent::Modify) ok = f->modify(items, &lastError_);
                    else if (ok) ok = f->remove(uids, &lastError_);
                    std::set<std::string> there;
                    if (!ok) {
                        // Part of the call may have gone through: EDS says which.
                        allDone = false;
                        std::string ignored;
                        auto held = f != nullptr ? f->present(uids, &ignored) : std::nullopt;
                        if (!held) continue;  // left intended: the next log-on settles them
                        there.insert(held->begin(), held->end());
                    }
                    for (const auto& [oid, q] : part) {
                        const bool present = ok ? op != Identity::Intent::Remove : there.count(q->uid) != 0;
                        if (op == Identity::Intent::Add && !present) lost.push_back(oid);
                        else if (op == Identity::Intent::Remove && !present) removed.push_back(oid);
                        else done.push_back(oid);
                    }
                }
            }
        }
        queue_.clear();
        // Step 3.
        if (!ids_->begin()) return false;
        if (!ids_->settle(done, removed) || !ids_->forget(lost) || !ids_->commit()) {
            ids_->rollback();
            lastError_ = "the EDS identifier table cannot be written: " + ids_->error();
            return false;
        }
        return allDone;
    }

    void rollbackBatch() override {
        if (depth_ == 0) return;
        depth_ = 0;
        ids_->rollback();
        for (const auto& [oid, q] : queue_) written_.erase(oid);
        queue_.clear();
    }

    bool inBatch() const override { return depth_ > 0; }
    std::string lastError() const override { return lastError_; }

    std::optional<std::vector<Session::PendingMap>> pendingMaps(int folderNumber, size_t most) override {
        return ids_->pendingMaps(folderNumber, most);
    }
    bool notePendingMap(int folderNumber, std::string_view serverId, uint32_t oid) override {
        return ids_->notePendingMap(folderNumber, serverId, oid);
    }
    bool dropPendingMaps(int folderNumber) override { return ids_->dropPendingMaps(folderNumber); }
    // Durable at once, batch or not: an identifier given back would only be skipped.
    std::optional<uint32_t> reserveOid() override { return ids_->reserve(); }
    bool overEds() const override { return true; }
    bool reachFolder(int folderNumber, std::string* why) override {
        std::string problem;
        if (folder(folderNumber, &problem) != nullptr) return true;
        return fail(why, problem.empty() ? "the folder has no source in Evolution Data Server" : problem);
    }

private:
    struct Queued {
        Identity::Intent op = Identity::Intent::None;
        int folder = 0;
        std::string uid;
        ItemContent content;
    };

    static bool fail(std::string* why, std::string text) {
        if (why != nullptr) *why = std::move(text);
        return false;
    }

    bool writable() {
        if (!readOnly_) return true;
        lastError_ = "the device store is open for reading only";
        return false;
    }

    // The folder's source, connected on first use: a run that syncs only contacts never starts the
    // calendar factory.
    Folder* folder(int folderNumber, std::string* why) {
        auto& slot = folders_[folderNumber];
        if (!slot) {
            if (folderNumber == kFolderContacts) slot = eds::openContactsFolder(choice_.contactsSource, why);
            else if (folderNumber == kFolderCalendar) slot = eds::openCalendarFolder(folderNumber, choice_.calendarSource, why);
            else if (folderNumber == kFolderTasks) slot = eds::openCalendarFolder(folderNumber, choice_.tasksSource, why);
        }
        return slot.get();
    }

    std::optional<std::vector<Identity::Entry>> listing(int folderNumber) {
        Folder* f = folder(folderNumber, &lastError_);
        if (f == nullptr) return std::nullopt;
        auto uids = f->uids(&lastError_);
        if (!uids) return std::nullopt;
        auto entries = ids_->settleFolder(folderNumber, *uids);
        if (!entries) lastError_ = "the EDS identifier table cannot be written: " + ids_->error();
        return entries;
    }

    std::unique_ptr<Item> makeItem(uint32_t oid, int folderNumber, const ItemContent& content, bool partial) {
        auto item = std::make_unique<Item>();
        item->session_ = session_;
        item->oid_ = oid;
        item->folder_ = folderNumber;
        item->type_ = typeOfFolder(folderNumber);
        item->props_ = content.props;
        if (!content.picture.empty()) {
            PropValue v;
            v.id = kPictureProp;
            v.bytes = content.picture;
            item->props_.push_back(std::move(v));
        }
        item->recurrence_ = content.recurrence;
        item->recipients_ = content.recipients;
        item->partial_ = partial;
        return item;
    }

    static ItemContent contentOf(const Item& item) {
        ItemContent c;
        c.type = item.type_;
        c.props.reserve(item.props_.size());
        for (const auto& v : item.props_) {
            if (v.id == kPictureProp) c.picture = v.bytes;
            else c.props.push_back(v);
        }
        c.recurrence = item.recurrence_;
        c.recipients = item.recipients_;
        return c;
    }

    std::unique_ptr<Identity> ids_;
    StoreChoice choice_;
    bool readOnly_;
    std::map<int, std::unique_ptr<Folder>> folders_;
    std::map<uint32_t, Queued> queue_;
    std::set<uint32_t> written_;
    int depth_ = 0;
    bool broken_ = false;
    bool batchWhole_ = false;
    std::string lastError_;
};

std::unique_ptr<Backend> openEdsBackend(const StoreChoice& choice, Session::Access access, std::string* why) {
    auto ids = Identity::open(hostPath("eds-ids.db").string(), why);
    if (!ids) return nullptr;
    auto backend = std::make_unique<EdsBackend>(std::move(ids), choice, access == Session::Access::ReadOnly);
    if (!backend->recover(why)) return nullptr;
    return backend;
}

}  // namespace orvale::platform::pim
