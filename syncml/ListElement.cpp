#include "syncml/ListElement.h"

#include <cstdlib>
#include <new>

namespace orvale {

ListElement::ListElement(const char* objectName)
    : SyncElement(objectName, sizeof(ListNode), nullptr, 0), last_(static_cast<ListNode*>(record())) {}

ListElement::~ListElement() {
    // Entries are released by SyncElement; the first node is the record block it frees.
    auto* node = static_cast<ListNode*>(record())->next;
    while (node != nullptr) {
        ListNode* next = node->next;
        std::free(node);
        node = next;
    }
}

void ListElement::append(SyncElement* child) {
    if (last_->element != nullptr) {
        auto* node = static_cast<ListNode*>(std::calloc(1, sizeof(ListNode)));
        if (node == nullptr) throw std::bad_alloc();
        last_->next = node;
        last_ = node;
    }
    last_->element = child->record();
    child->addRef();
    slots().push_back(child);
}

SyncElement* ListElement::firstEntry() {
    cursor_ = 0;
    return entry(0);
}

SyncElement* ListElement::nextEntry() {
    if (cursor_ < size()) ++cursor_;
    return entry(cursor_);
}

}  // namespace orvale
