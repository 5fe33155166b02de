#pragma once
// Meta information: MetInf with its Anchor and Mem parts.
#include "syncml/ElementFields.h"
#include "syncml/ListElement.h"

namespace orvale {

class Anchor : public SyncElement {
public:
    Anchor() : SyncElement("Anchor", layout::anchor) {}
    ORVALE_TEXT_FIELD(last, Last, anchor_field::Last)
    ORVALE_TEXT_FIELD(next, Next, anchor_field::Next)
};

class MetInfMemElement : public SyncElement {
public:
    MetInfMemElement() : SyncElement("MetInfMemElement", layout::mem) {}
    ORVALE_FLAG_FIELD(sharedMem, SharedMem, mem_field::SharedMem)
    ORVALE_TEXT_FIELD(freeMem, FreeMem, mem_field::FreeMem)
    ORVALE_TEXT_FIELD(freeID, FreeID, mem_field::FreeID)
};

class MetInfElem : public SyncElement {
public:
    MetInfElem() : SyncElement("MetInfElem", layout::metInf) {}
    ORVALE_TEXT_FIELD(format, Format, metinf_field::Format)
    ORVALE_TEXT_FIELD(type, Type, metinf_field::Type)
    ORVALE_TEXT_FIELD(mark, Mark, metinf_field::Mark)
    ORVALE_TEXT_FIELD(size, Size, metinf_field::Size)
    ORVALE_TEXT_FIELD(nextNonce, NextNonce, metinf_field::NextNonce)
    ORVALE_TEXT_FIELD(version, Version, metinf_field::Version)
    ORVALE_TEXT_FIELD(maxMsgSize, MaxMsgSize, metinf_field::MaxMsgSize)
    ORVALE_TEXT_FIELD(maxObjSize, MaxObjSize, metinf_field::MaxObjSize)
    ORVALE_CHILD_FIELD(mem, Mem, MetInfMemElement, metinf_field::Mem)
    ORVALE_TEXT_LIST_FIELD(emi, Emi, EmiText, metinf_field::Emi)
    ORVALE_CHILD_FIELD(anchor, Anchor, Anchor, metinf_field::Anchor)
};

}  // namespace orvale
