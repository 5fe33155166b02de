#pragma once
// Accessor shapes shared by the element classes: one line per record field.
#include <cstdint>
#include <string>

#include "syncml/CData.h"

// Text field: setter from a string or a number, getter as text ("" when absent) and as a number.
#define ORVALE_TEXT_FIELD(name, Name, slot)                                    \
    void set##Name(const std::string& v) { setTextField(slot, v); }          \
    void set##Name(std::int64_t v) { setNumberField(slot, v); }              \
    std::string name() const { return textField(slot); }                    \
    std::int64_t name##AsInt() const { return numberField(slot); }          \
    CData* name##CData() const { return cdataField(slot); }

// Child element field.
#define ORVALE_CHILD_FIELD(name, Name, Type, slot)                              \
    void set##Name(Type* v) { setChildField(slot, v); }                       \
    Type* name() const { return static_cast<Type*>(childField(slot)); }

// List field, with an append that creates the list on first use.
#define ORVALE_LIST_FIELD(name, Name, ListType, EntryType, slot)                \
    void set##Name(ListType* v) { setChildField(slot, v); }                   \
    ListType* name() const { return static_cast<ListType*>(childField(slot)); } \
    void add##Name(EntryType* v) {                                            \
        if (childField(slot) == nullptr) setChildField(slot, new ListType());    \
        name()->append(v);                                                    \
    }

// Flag bit field.
#define ORVALE_FLAG_FIELD(name, Name, slot)                                     \
    void set##Name(bool on) { setFlagField(slot, on); }                       \
    bool name() const { return flagField(slot); }

// Meta field: a PCDATA whose content is a MetInf extension.
#define ORVALE_META_FIELD(slot)                                                 \
    void setMeta(MetInfElem* m) {                                             \
        auto* c = new CData();                                                \
        setChildField(slot, c);                                               \
        c->setMetInf(m);                                                      \
    }                                                                         \
    MetInfElem* meta() const {                                                \
        CData* c = cdataField(slot);                                          \
        return c != nullptr ? c->metInf() : nullptr;                          \
    }

// List of text values (TargetRef, SyncType, ValEnum, XVal, EMI), with an append of one text.
#define ORVALE_TEXT_LIST_FIELD(name, Name, Single, slot)                        \
    void set##Name(PCDataList* v) { setChildField(slot, v); }                 \
    PCDataList* name() const { return static_cast<PCDataList*>(childField(slot)); } \
    void add##Single(const std::string& text) {                               \
        if (childField(slot) == nullptr) setChildField(slot, new PCDataList());  \
        auto* c = new CData();                                                \
        c->setString(text);                                                   \
        name()->append(c);                                                    \
    }
