#pragma once
// The plain records that cross into the toolkit. The encoder reads them, the decoder fills them.
// They are zero-filled C blocks: a null pointer is an absent element. Records built by element
// objects (Element*.h) are owned by those objects. A record handed out by the decoder is the root of
// a tree whose blocks all come from one arena: the whole tree goes back through toolkit::freeRecord,
// and no block of it is freed, or put into it, on its own.
#include <cstdint>

namespace orvale {

// Protocol element types stored in the first word of command records.
namespace element_type {
inline constexpr std::uint32_t Add = 2, Alert = 3, Atomic = 4, AtomicEnd = 5, Copy = 6, Delete = 7,
                               Exec = 8, Get = 9, Map = 10, Put = 11, Results = 12, Search = 13,
                               Sequence = 14, SequenceEnd = 15, Status = 16, Sync = 17, SyncEnd = 18,
                               Replace = 19, SyncHdr = 20;
}

// Bits of the flags words: SyncML empty elements, then DevInf and memory flags.
namespace flag {
inline constexpr std::uint32_t NoResp = 0x0100, NoResults = 0x0200, MoreData = 0x0400, SftDel = 0x4000,
                               Archive = 0x8000;
inline constexpr std::uint32_t Utc = 0x1, SupportNumberOfChanges = 0x2, SharedMem = 0x4,
                               SupportLargeObjs = 0x8;
}  // namespace flag

namespace pcdata_type {
inline constexpr std::uint32_t Empty = 0, String = 1, Opaque = 2, Extension = 3, Cdata = 4;
}
namespace extension_kind {
inline constexpr std::uint32_t MetInf = 1, DevInf = 2;
}

struct PcdataRecord {
    std::uint32_t contentType;
    std::uint32_t extension;
    std::uint32_t length;
    void* content;  // bytes, or the MetInfRecord / DevInfRecord of an extension
};

// One node of every list: the entry's record and the next node.
struct ListNode {
    void* element;
    ListNode* next;
};

struct SourceRecord {  // Source or Target
    PcdataRecord* locURI;
    PcdataRecord* locName;
};
struct CredRecord {
    PcdataRecord* meta;
    PcdataRecord* data;
};
struct ChalRecord {
    PcdataRecord* meta;
};
struct ItemRecord {
    SourceRecord* target;
    SourceRecord* source;
    PcdataRecord* meta;
    PcdataRecord* data;
    std::uint32_t flags;
};
struct MapItemRecord {
    SourceRecord* target;
    SourceRecord* source;
};

struct HeaderRecord {
    std::uint32_t elementType;
    PcdataRecord* verDTD;
    PcdataRecord* verProto;
    PcdataRecord* sessionID;
    PcdataRecord* msgID;
    std::uint32_t flags;
    SourceRecord* target;
    SourceRecord* source;
    PcdataRecord* respURI;
    CredRecord* cred;
    PcdataRecord* meta;
};
struct StatusRecord {
    std::uint32_t elementType;
    PcdataRecord* cmdID;
    PcdataRecord* msgRef;
    PcdataRecord* cmdRef;
    PcdataRecord* cmd;
    ListNode* targetRef;  // of PcdataRecord
    ListNode* sourceRef;  // of PcdataRecord
    CredRecord* cred;
    ChalRecord* chal;
    PcdataRecord* data;
    ListNode* items;  // of ItemRecord
};
struct AlertRecord {
    std::uint32_t elementType;
    PcdataRecord* cmdID;
    std::uint32_t flags;
    CredRecord* cred;
    PcdataRecord* data;
    ListNode* items;
};
struct SyncRecord {
    std::uint32_t elementType;
    PcdataRecord* cmdID;
    std::uint32_t flags;
    CredRecord* cred;
    SourceRecord* target;
    SourceRecord* source;
    PcdataRecord* meta;
    PcdataRecord* numberOfChanges;
};
// Add, Copy, Delete, Replace; also Atomic, Sequence and Exec (one item) when received.
struct GenericRecord {
    std::uint32_t elementType;
    PcdataRecord* cmdID;
    std::uint32_t flags;
    CredRecord* cred;
    PcdataRecord* meta;
    ListNode* items;
};
struct PutGetRecord {
    std::uint32_t elementType;
    PcdataRecord* cmdID;
    std::uint32_t flags;
    PcdataRecord* lang;
    CredRecord* cred;
    PcdataRecord* meta;
    ListNode* items;
};
struct ResultsRecord {
    std::uint32_t elementType;
    PcdataRecord* cmdID;
    PcdataRecord* msgRef;
    PcdataRecord* cmdRef;
    PcdataRecord* meta;
    PcdataRecord* targetRef;
    PcdataRecord* sourceRef;
    ListNode* items;
};
struct MapRecord {
    std::uint32_t elementType;
    PcdataRecord* cmdID;
    SourceRecord* target;
    SourceRecord* source;
    CredRecord* cred;
    PcdataRecord* meta;
    ListNode* mapItems;  // of MapItemRecord
};
struct SearchRecord {
    std::uint32_t elementType;
    PcdataRecord* cmdID;
    std::uint32_t flags;
    CredRecord* cred;
    SourceRecord* target;
    ListNode* sources;  // of SourceRecord
    PcdataRecord* lang;
    PcdataRecord* meta;
    PcdataRecord* data;
};

struct AnchorRecord {
    PcdataRecord* last;
    PcdataRecord* next;
};
struct MemRecord {
    std::uint32_t flags;  // flag::SharedMem
    PcdataRecord* freeMem;
    PcdataRecord* freeID;
};
struct MetInfRecord {
    PcdataRecord* format;
    PcdataRecord* type;
    PcdataRecord* mark;
    PcdataRecord* size;
    PcdataRecord* nextNonce;
    PcdataRecord* version;
    PcdataRecord* maxMsgSize;
    PcdataRecord* maxObjSize;
    MemRecord* mem;
    ListNode* emi;  // of PcdataRecord
    AnchorRecord* anchor;
};

struct XmitRecord {  // Rx, Tx, Rx-Pref, Tx-Pref
    PcdataRecord* ctType;
    PcdataRecord* verCT;
};
struct DsMemRecord {
    std::uint32_t flags;  // flag::SharedMem
    PcdataRecord* maxMem;
    PcdataRecord* maxID;
};
struct SyncCapRecord {
    ListNode* syncTypes;  // of PcdataRecord
};
struct DataStoreRecord {
    PcdataRecord* sourceRef;
    PcdataRecord* displayName;
    PcdataRecord* maxGUIDSize;
    XmitRecord* rxPref;
    ListNode* rx;  // of XmitRecord
    XmitRecord* txPref;
    ListNode* tx;  // of XmitRecord
    DsMemRecord* dsMem;
    SyncCapRecord* syncCap;
};
struct CtDataRecord {  // a PropName or ParamName entry of a CTCap
    PcdataRecord* name;
    PcdataRecord* displayName;
    ListNode* valEnums;  // of PcdataRecord
    PcdataRecord* dataType;
    PcdataRecord* size;
};
struct CtPropRecord {
    CtDataRecord* prop;
    ListNode* params;  // of CtDataRecord
};
struct CtCapRecord {
    PcdataRecord* ctType;
    ListNode* props;  // of CtPropRecord
};
struct ExtRecord {
    PcdataRecord* xnam;
    ListNode* xvals;  // of PcdataRecord
};
struct DevInfRecord {
    PcdataRecord* verDTD;
    PcdataRecord* man;
    PcdataRecord* mod;
    PcdataRecord* oem;
    PcdataRecord* fwV;
    PcdataRecord* swV;
    PcdataRecord* hwV;
    PcdataRecord* devID;
    PcdataRecord* devTyp;
    ListNode* dataStores;  // of DataStoreRecord
    ListNode* ctCaps;      // of CtCapRecord
    ListNode* exts;        // of ExtRecord
    std::uint32_t flags;   // flag::Utc, SupportNumberOfChanges, SupportLargeObjs
};

}  // namespace orvale
