#pragma once
// Tag ids shared by both codecs, their WBXML tokens, names and namespaces.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvale {

using TagId = std::uint8_t;

enum class Namespace : std::uint8_t { SyncML = 0, MetInf = 1, DevInf = 2 };

namespace tag {
enum : TagId {
    None = 0,
    Add = 1, Alert = 2, Archive = 3, Atomic = 4, AtomicEnd = 5, Chal = 6, Cmd = 7, CmdID = 8, CmdRef = 9,
    Copy = 10, Cred = 11, Data = 12, Delete = 13, Exec = 14, Final = 15, Get = 16, Item = 17, Lang = 18,
    LocName = 19, LocURI = 20, Map = 21, MapItem = 22, Meta = 23, MsgID = 24, MsgRef = 25, NoResp = 26,
    NoResults = 27, Put = 28, Replace = 29, RespURI = 30, Results = 31, Search = 32, Sequence = 33,
    SequenceEnd = 34, SessionID = 35, SftDel = 36, Source = 37, SourceRef = 38, Status = 39, Sync = 40,
    SyncBody = 41, SyncHdr = 42, SyncML = 43, SyncEnd = 44, Target = 45, TargetRef = 46, VerDTD = 47,
    VerProto = 48,
    // MetInf
    Anchor = 49, EMI = 50, Format = 51, FreeID = 52, FreeMem = 53, Last = 54, Mark = 55, MaxMsgSize = 56,
    Mem = 57, MetInf = 58, Next = 59, NextNonce = 60, SharedMem = 61, Size = 62, Type = 63, Version = 64,
    // DevInf
    CTCap = 65, CTType = 66, DataStore = 67, DataType = 68, DevID = 69, DevInf = 70, DevTyp = 71,
    DisplayName = 72, DSMem = 73, Ext = 74, FwV = 75, HwV = 76, Man = 77, MaxGUIDSize = 78, MaxID = 79,
    MaxMem = 80, Mod = 81, OEM = 82, ParamName = 83, PropName = 84, Rx = 85, RxPref = 86,
    DevInfSharedMem = 87, DevInfSize = 88, DevInfSourceRef = 89, SwV = 90, SyncCap = 91, SyncType = 92,
    Tx = 93, TxPref = 94, ValEnum = 95, VerCT = 96, DevInfVerDTD = 97, XNam = 98, XVal = 99,
    NumberOfChanges = 100, MoreData = 101, MaxObjSize = 102, UTC = 103, SupportNumberOfChanges = 104,
    SupportLargeObjs = 105,
    Count = 106
};
}  // namespace tag

struct TagInfo {
    std::uint8_t token;  // 0: no table entry (pseudo tags)
    Namespace ns;
    std::string_view name;
};

const TagInfo& tagInfo(TagId id);
// Tag of a WBXML token in a namespace's code page; tag::None when the page has no such token.
TagId tagByToken(Namespace ns, std::uint8_t token);
// Tag named `name` in `ns`; tag::None when the table has none.
TagId tagByName(Namespace ns, std::string_view name);
// True when both ids name the same element (SourceRef, Size, SharedMem and VerDTD exist in two tables).
bool sameTagName(TagId a, TagId b);

}  // namespace orvale
