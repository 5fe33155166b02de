#pragma once
// Element templates: for every record, its fields in the order the codecs write them. Encoder,
// decoder, the record free and the element factories all walk these tables, so one table decides the
// wire order, the mandatory fields and the ownership of a record.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "syncml/Tags.h"
#include "syncml/ToolkitRecords.h"

namespace orvale {

enum class FieldKind : std::uint8_t {
    Pcdata,      // PcdataRecord*
    Record,      // pointer to a child record
    RecordList,  // ListNode* of child records, each written as its own element
    PcdataList,  // ListNode* of PcdataRecord, each written as an element of the field's tag
    Flag,        // bit of the record's flags word, written as an empty element
    CtCapBlock,  // ListNode* of CtCapRecord, written flattened into one CTCap element
};

enum class RecordKind : std::uint8_t {
    Header, Status, Alert, Sync, Generic, PutGet, Results, Map, Search, MapItem, Source, Item, Cred, Chal,
    Anchor, Mem, MetInf, DevInf, DataStore, Xmit, DsMem, SyncCap, CtCap, CtProp, CtData, Ext
};

struct RecordLayout;

struct FieldLayout {
    FieldKind kind;
    TagId tag;
    std::size_t offset;  // of the pointer, or of the flags word for Flag fields
    bool mandatory;
    const RecordLayout* child;  // Record and RecordList
    std::uint32_t bit;        // Flag
};

struct RecordLayout {
    RecordKind kind;
    TagId tag;
    std::size_t size;
    bool hasElementType;
    const FieldLayout* fields;
    std::size_t fieldCount;
};

// Field indices into each layout (the slot numbers the element classes use).
namespace hdr_field { enum : std::size_t { VerDTD, VerProto, SessionID, MsgID, Target, Source, RespURI, NoResp, Cred, Meta }; }
namespace status_field { enum : std::size_t { CmdID, MsgRef, CmdRef, Cmd, TargetRef, SourceRef, Cred, Chal, Data, Items }; }
namespace alert_field { enum : std::size_t { CmdID, NoResp, Cred, Data, Items }; }
namespace sync_field { enum : std::size_t { CmdID, NoResp, Cred, Target, Source, Meta, NumberOfChanges }; }
// Add, Copy, Replace and Delete share one record; Delete writes Archive and SftDel as well.
namespace generic_field { enum : std::size_t { CmdID, NoResp, Archive, SftDel, Cred, Meta, Items }; }
namespace putget_field { enum : std::size_t { CmdID, NoResp, Lang, Cred, Meta, Items }; }
namespace results_field { enum : std::size_t { CmdID, MsgRef, CmdRef, Meta, TargetRef, SourceRef, Items }; }
namespace map_field { enum : std::size_t { CmdID, Target, Source, Cred, Meta, MapItems }; }
namespace search_field { enum : std::size_t { CmdID, NoResp, NoResults, Cred, Target, Sources, Lang, Meta, Data }; }
namespace mapitem_field { enum : std::size_t { Target, Source }; }
namespace source_field { enum : std::size_t { LocURI, LocName }; }
namespace item_field { enum : std::size_t { Target, Source, Meta, Data, MoreData }; }
namespace cred_field { enum : std::size_t { Meta, Data }; }
namespace chal_field { enum : std::size_t { Meta }; }
namespace anchor_field { enum : std::size_t { Last, Next }; }
namespace mem_field { enum : std::size_t { SharedMem, FreeMem, FreeID }; }
namespace metinf_field { enum : std::size_t { Format, Type, Mark, Size, Anchor, Version, NextNonce, MaxMsgSize, MaxObjSize, Emi, Mem }; }
namespace devinf_field { enum : std::size_t { VerDTD, Man, Mod, OEM, FwV, SwV, HwV, DevID, DevTyp, UTC, SupportNumberOfChanges, SupportLargeObjs, DataStores, CtCaps, Exts }; }
namespace datastore_field { enum : std::size_t { SourceRef, DisplayName, MaxGUIDSize, RxPref, Rx, TxPref, Tx, DsMem, SyncCap }; }
namespace xmit_field { enum : std::size_t { CTType, VerCT }; }
namespace dsmem_field { enum : std::size_t { SharedMem, MaxMem, MaxID }; }
namespace synccap_field { enum : std::size_t { SyncTypes }; }
namespace ctcap_field { enum : std::size_t { CTType, Props }; }
namespace ctprop_field { enum : std::size_t { Prop, Params }; }
namespace ctdata_field { enum : std::size_t { Name, DisplayName, ValEnums, DataType, Size }; }
namespace ext_field { enum : std::size_t { XNam, XVals }; }

namespace layout {
extern const RecordLayout header, status, alert, sync, generic, putGet, results, map, search, mapItem, source,
    target, item, cred, chal, anchor, mem, metInf, devInf, dataStore, rx, tx, rxPref, txPref, dsMem, syncCap,
    ctCap, ctProp, ctData, ext;
// Add/Copy/Replace (no Archive/SftDel), Atomic/Sequence (CmdID, NoResp, Meta), Exec (one item).
extern const RecordLayout addLike, atomicLike, exec;
}  // namespace layout

// Pointer fields are read and written through memcpy: records are untyped blocks to the walkers.
inline void* loadPointer(const void* record, std::size_t offset) {
    void* p;
    std::memcpy(&p, static_cast<const char*>(record) + offset, sizeof p);
    return p;
}
inline void storePointer(void* record, std::size_t offset, const void* p) {
    std::memcpy(static_cast<char*>(record) + offset, &p, sizeof p);
}
inline std::uint32_t loadWord(const void* record, std::size_t offset) {
    std::uint32_t w;
    std::memcpy(&w, static_cast<const char*>(record) + offset, sizeof w);
    return w;
}
inline void storeWord(void* record, std::size_t offset, std::uint32_t w) {
    std::memcpy(static_cast<char*>(record) + offset, &w, sizeof w);
}

// Frees a record tree the decoder handed out (a header, a command or a DevInf document record) with
// every block it points to. The tree's blocks share one arena: only the root may be freed, and a
// block linked into the tree from elsewhere is not freed with it.
void freeRecordTree(const RecordLayout& layout, void* record);

}  // namespace orvale
