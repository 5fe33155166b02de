#include "TestStore.h"

#include "stores/calendar/CalendarStore.h"
#include "stores/contacts/ContactsStore.h"
#include "stores/tasks/TasksStore.h"

namespace orvale::test {

Lifetimes& lifetimes() {
    static Lifetimes l;
    return l;
}

ContentType TestItem::contentType() const { return ContentType("text/plain", "1.0"); }

bool TestItem::setData(const std::string& text) {
    text_ = text;
    return true;
}

ItemList* TestStore::allItems() {
    std::vector<uint32_t> ids;
    for (const auto& [oid, text] : texts) ids.push_back(oid);
    return new ItemList(this, std::move(ids));
}

StoreItem* TestStore::itemByKey(const std::string& key) {
    keysRead.push_back(key);
    auto it = texts.find(oidForKey(key));
    return new TestItem(key, it != texts.end() ? it->second : std::string());
}

ContentType TestKind::contentType() const { return ContentType(info_.mimeType, info_.version); }

void registerTestKinds() {
    for (const KindInfo& k : knownKinds()) registerKind(k.code, [&k] { return new TestKind(k); });
}

void registerRealKinds() {
    registerKind(kKindContacts, contacts::makeContactsKind);
    registerKind(kKindTasks, tasks::makeTasksKind);
    registerKind(kKindCalendar, calendar::makeCalendarKind);
}

}  // namespace orvale::test
