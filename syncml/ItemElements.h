#pragma once
// The parts commands are made of: Source/Target, Item, MapItem, Cred and Chal.
#include <string>

#include "syncml/ElementFields.h"
#include "syncml/ListElement.h"
#include "syncml/MetInfElements.h"

namespace orvale {

class DevInfoElement;

class SourceOrTarget : public SyncElement {
public:
    SourceOrTarget() : SyncElement("SourceOrTarget", layout::source) {}
    explicit SourceOrTarget(const std::string& locURI) : SourceOrTarget() { setLocURI(locURI); }
    ORVALE_TEXT_FIELD(locURI, LocURI, source_field::LocURI)
    ORVALE_TEXT_FIELD(locName, LocName, source_field::LocName)
};

class ItemElement : public SyncElement {
public:
    ItemElement() : SyncElement("ItemElement", layout::item) {}
    ORVALE_CHILD_FIELD(target, Target, SourceOrTarget, item_field::Target)
    ORVALE_CHILD_FIELD(source, Source, SourceOrTarget, item_field::Source)
    ORVALE_META_FIELD(item_field::Meta)
    ORVALE_TEXT_FIELD(data, Data, item_field::Data)
    ORVALE_FLAG_FIELD(moreData, MoreData, item_field::MoreData)
    void setDataOpaque(const std::string& bytes);
    // Data as a DevInf extension: the WBXML encoder writes it as a nested DevInf document.
    void setDataDevInf(DevInfoElement* devInf);
};

class MapItem : public SyncElement {
public:
    MapItem() : SyncElement("MapItem", layout::mapItem) {}
    ORVALE_CHILD_FIELD(target, Target, SourceOrTarget, mapitem_field::Target)
    ORVALE_CHILD_FIELD(source, Source, SourceOrTarget, mapitem_field::Source)
};

class Cred : public SyncElement {
public:
    Cred() : SyncElement("Cred", layout::cred) {}
    ORVALE_META_FIELD(cred_field::Meta)
    ORVALE_TEXT_FIELD(data, Data, cred_field::Data)
};

class Chalenger : public SyncElement {
public:
    Chalenger() : SyncElement("Chalenger", layout::chal) {}
    ORVALE_META_FIELD(chal_field::Meta)
};

}  // namespace orvale
