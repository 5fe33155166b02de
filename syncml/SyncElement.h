#pragma once
// An element object: owns one zero-filled toolkit record and holds one reference per child whose
// record it links into a field. Fields are addressed by the slot numbers of RecordLayout.h.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "syncml/CountedObject.h"
#include "syncml/RecordLayout.h"

namespace orvale {

class CData;

class SyncElement : public CountedObject {
public:
    // `layout` describes the record's fields; null for records without a template (PCDATA, lists).
    SyncElement(const char* objectName, std::size_t recordSize, const RecordLayout* layout, std::size_t slots);
    // An element with a template: record of the template's size, one slot per field.
    SyncElement(const char* objectName, const RecordLayout& layout, std::uint32_t elementType = 0);
    ~SyncElement() override;

    void* record() const { return record_; }
    const RecordLayout* layout() const { return layout_; }
    std::uint32_t elementType() const;

protected:
    void setElementType(std::uint32_t type);

    // Text fields: a fresh CData each time, so a field can be set again.
    void setTextField(std::size_t field, const std::string& text);
    void setNumberField(std::size_t field, std::int64_t value);
    std::string textField(std::size_t field) const;
    std::int64_t numberField(std::size_t field) const;
    CData* cdataField(std::size_t field) const;

    // Releases the slot's previous child, references the new one and links its record.
    void setChildField(std::size_t field, SyncElement* child);
    SyncElement* childField(std::size_t field) const { return slots_[field]; }

    void setFlagField(std::size_t field, bool on);
    bool flagField(std::size_t field) const;

    // Slot without a record field (the extension references of CData).
    void setSlot(std::size_t slot, SyncElement* child);
    std::vector<SyncElement*>& slots() { return slots_; }
    const std::vector<SyncElement*>& slots() const { return slots_; }

private:
    friend void fillElementFromRecord(SyncElement* element, const RecordLayout& layout, const void* record);

    void* record_;
    const RecordLayout* layout_;
    std::vector<SyncElement*> slots_;
};

// Builds the element object of a record and, recursively, of everything it points to; every PCDATA
// value is copied. Null for a record kind without element class (Search).
SyncElement* elementFromRecord(const RecordLayout& layout, const void* record);
// Slot number, in the layout the element class uses, of the field with `offset`.
std::size_t fieldIndexByOffset(const RecordLayout& layout, std::size_t offset);

}  // namespace orvale
