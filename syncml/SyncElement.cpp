#include "syncml/SyncElement.h"

#include <cstdlib>
#include <new>

#include "syncml/CData.h"
#include "syncml/CommandElements.h"
#include "syncml/DevInfElements.h"
#include "syncml/ItemElements.h"
#include "syncml/ListElement.h"
#include "syncml/MetInfElements.h"

namespace orvale {

SyncElement::SyncElement(const char* objectName, std::size_t recordSize, const RecordLayout* layout, std::size_t slots)
    : CountedObject(objectName), record_(std::calloc(1, recordSize)), layout_(layout), slots_(slots, nullptr) {
    if (record_ == nullptr) throw std::bad_alloc();
}

SyncElement::SyncElement(const char* objectName, const RecordLayout& layout, std::uint32_t elementType)
    : SyncElement(objectName, layout.size, &layout, layout.fieldCount) {
    if (layout.hasElementType) setElementType(elementType);
}

SyncElement::~SyncElement() {
    for (SyncElement* child : slots_) {
        if (child != nullptr) child->release();
    }
    std::free(record_);
}

std::uint32_t SyncElement::elementType() const {
    return layout_ != nullptr && layout_->hasElementType ? loadWord(record_, 0) : 0;
}

void SyncElement::setElementType(std::uint32_t type) { storeWord(record_, 0, type); }

void SyncElement::setSlot(std::size_t slot, SyncElement* child) {
    if (child != nullptr) child->addRef();
    SyncElement* old = slots_[slot];
    slots_[slot] = child;
    if (old != nullptr) old->release();
}

void SyncElement::setChildField(std::size_t field, SyncElement* child) {
    setSlot(field, child);
    storePointer(record_, layout_->fields[field].offset, child != nullptr ? child->record() : nullptr);
}

void SyncElement::setTextField(std::size_t field, const std::string& text) {
    auto* c = new CData();
    setChildField(field, c);
    c->setString(text);
}

void SyncElement::setNumberField(std::size_t field, std::int64_t value) { setTextField(field, std::to_string(value)); }

CData* SyncElement::cdataField(std::size_t field) const { return static_cast<CData*>(slots_[field]); }

std::string SyncElement::textField(std::size_t field) const {
    CData* c = cdataField(field);
    return c != nullptr ? c->bytes() : std::string();
}

std::int64_t SyncElement::numberField(std::size_t field) const {
    const std::string text = textField(field);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return 0;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        if (value > (INT64_MAX - 9) / 10) return 0;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

void SyncElement::setFlagField(std::size_t field, bool on) {
    const FieldLayout& f = layout_->fields[field];
    std::uint32_t w = loadWord(record_, f.offset);
    storeWord(record_, f.offset, on ? (w | f.bit) : (w & ~f.bit));
}

bool SyncElement::flagField(std::size_t field) const {
    const FieldLayout& f = layout_->fields[field];
    return (loadWord(record_, f.offset) & f.bit) != 0;
}

std::size_t fieldIndexByOffset(const RecordLayout& layout, std::size_t offset) {
    for (std::size_t i = 0; i < layout.fieldCount; ++i) {
        if (layout.fields[i].kind != FieldKind::Flag && layout.fields[i].offset == offset) return i;
    }
    return layout.fieldCount;
}

namespace {

SyncElement* createElement(RecordKind kind, const void* record) {
    switch (kind) {
        case RecordKind::Header: return new Header();
        case RecordKind::Status: return new Status();
        case RecordKind::Alert: return new Alert();
        case RecordKind::Sync: return new StartSync();
        case RecordKind::Generic: return new Generic(loadWord(record, 0));
        case RecordKind::PutGet: return new PutOrGet(loadWord(record, 0));
        case RecordKind::Results: return new Result();
        case RecordKind::Map: return new Map();
        case RecordKind::MapItem: return new MapItem();
        case RecordKind::Source: return new SourceOrTarget();
        case RecordKind::Item: return new ItemElement();
        case RecordKind::Cred: return new Cred();
        case RecordKind::Chal: return new Chalenger();
        case RecordKind::Anchor: return new Anchor();
        case RecordKind::Mem: return new MetInfMemElement();
        case RecordKind::MetInf: return new MetInfElem();
        case RecordKind::DevInf: return new DevInfoElement();
        case RecordKind::DataStore: return new DevInfDataStoreElement();
        case RecordKind::Xmit: return new DevInfXmitElement();
        case RecordKind::DsMem: return new DevInfDsmemElement();
        case RecordKind::SyncCap: return new DevInfSyncCapElement();
        case RecordKind::CtCap: return new CtCapsInfElement();
        case RecordKind::CtProp: return new DevInfCtDataPropElement();
        case RecordKind::CtData: return new DevInfCtDataElement();
        case RecordKind::Ext: return new DevInfExtElement();
        case RecordKind::Search: return nullptr;
    }
    return nullptr;
}

ListElement* createList(const FieldLayout& f) {
    if (f.kind == FieldKind::PcdataList) return new PCDataList();
    switch (f.child->kind) {
        case RecordKind::Item: return new ItemListElement();
        case RecordKind::MapItem: return new MapItemList();
        case RecordKind::DataStore: return new DevInfDatastoreListElement();
        case RecordKind::Xmit: return new DevInfXmitListElement();
        case RecordKind::Source: return new SourceListElement();
        case RecordKind::CtCap: return new CtCapListElement();
        case RecordKind::CtProp: return new CtDataPropListElement();
        case RecordKind::CtData: return new CtDataListElement();
        case RecordKind::Ext: return new ExtListElement();
        default: return new ElementList<SyncElement>();
    }
}

}  // namespace

void fillElementFromRecord(SyncElement* self, const RecordLayout& s, const void* record) {
    SyncElement* e = self;
    // The element class's own template names the slots; the decoder may have used a shorter one.
    const RecordLayout& own = e->layout() != nullptr ? *e->layout() : s;
    if (own.hasElementType) self->setElementType(loadWord(record, 0));
    for (std::size_t i = 0; i < own.fieldCount; ++i) {
        const FieldLayout& f = own.fields[i];
        if (f.kind == FieldKind::Flag) {
            if ((loadWord(record, f.offset) & f.bit) != 0) self->setFlagField(i, true);
            continue;
        }
        const void* p = loadPointer(record, f.offset);
        if (p == nullptr) continue;
        if (f.kind == FieldKind::Pcdata) {
            self->setChildField(i, CData::fromRecord(static_cast<const PcdataRecord*>(p)));
        } else if (f.kind == FieldKind::Record) {
            if (SyncElement* child = elementFromRecord(*f.child, p)) self->setChildField(i, child);
        } else {
            ListElement* list = createList(f);
            self->setChildField(i, list);
            for (auto* n = static_cast<const ListNode*>(p); n != nullptr; n = n->next) {
                if (n->element == nullptr) continue;
                SyncElement* child = f.kind == FieldKind::PcdataList
                                         ? CData::fromRecord(static_cast<const PcdataRecord*>(n->element))
                                         : elementFromRecord(*f.child, n->element);
                if (child != nullptr) list->append(child);
            }
        }
    }
}

SyncElement* elementFromRecord(const RecordLayout& s, const void* record) {
    if (record == nullptr) return nullptr;
    SyncElement* e = createElement(s.kind, record);
    if (e != nullptr) fillElementFromRecord(e, s, record);
    return e;
}

}  // namespace orvale
