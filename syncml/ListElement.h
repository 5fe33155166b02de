#pragma once
// A list of child elements over a chain of two-word nodes (entry record, next node). The first node
// is the list's own record and exists from the start; later entries get nodes of their own.
#include <cstddef>

#include "syncml/SyncElement.h"

namespace orvale {

class ListElement : public SyncElement {
public:
    explicit ListElement(const char* objectName);
    ~ListElement() override;

    void append(SyncElement* child);
    std::size_t size() const { return slots().size(); }
    SyncElement* entry(std::size_t index) const { return index < size() ? slots()[index] : nullptr; }

    // Cursor over the entries, for walking a decoded command.
    SyncElement* firstEntry();
    SyncElement* nextEntry();
    bool atEnd() const { return cursor_ >= size(); }

private:
    ListNode* last_;
    std::size_t cursor_ = 0;
};

template <class T>
class ElementList : public ListElement {
public:
    explicit ElementList(const char* objectName = "ElementList") : ListElement(objectName) {}
    void append(T* child) { ListElement::append(child); }
    T* at(std::size_t index) const { return static_cast<T*>(entry(index)); }
    T* first() { return static_cast<T*>(firstEntry()); }
    T* next() { return static_cast<T*>(nextEntry()); }
};

class ItemElement;
class MapItem;
class CData;
class SourceOrTarget;
class DevInfDataStoreElement;
class DevInfXmitElement;
class CtCapsInfElement;
class DevInfCtDataPropElement;
class DevInfCtDataElement;
class DevInfExtElement;

class ItemListElement : public ElementList<ItemElement> {
public:
    ItemListElement() : ElementList("ItemListElement") {}
};
class MapItemList : public ElementList<MapItem> {
public:
    MapItemList() : ElementList("MapItemList") {}
};
class PCDataList : public ElementList<CData> {
public:
    PCDataList() : ElementList("PCDataList") {}
};
class DevInfDatastoreListElement : public ElementList<DevInfDataStoreElement> {
public:
    DevInfDatastoreListElement() : ElementList("DevInfDatastoreListElement") {}
};
class DevInfXmitListElement : public ElementList<DevInfXmitElement> {
public:
    DevInfXmitListElement() : ElementList("DevInfXmitListElement") {}
};
using SourceListElement = ElementList<SourceOrTarget>;
using CtCapListElement = ElementList<CtCapsInfElement>;
using CtDataPropListElement = ElementList<DevInfCtDataPropElement>;
using CtDataListElement = ElementList<DevInfCtDataElement>;
using ExtListElement = ElementList<DevInfExtElement>;

}  // namespace orvale
