#include "syncml/Tags.h"

#include <array>

namespace orvale {

namespace {

struct Row {
    TagId id;
    std::uint8_t token;
    Namespace ns;
    std::string_view name;
};

constexpr Row kRows[] = {
    {tag::Add, 0x05, Namespace::SyncML, "Add"},
    {tag::Alert, 0x06, Namespace::SyncML, "Alert"},
    {tag::Archive, 0x07, Namespace::SyncML, "Archive"},
    {tag::Atomic, 0x08, Namespace::SyncML, "Atomic"},
    {tag::Chal, 0x09, Namespace::SyncML, "Chal"},
    {tag::Cmd, 0x0A, Namespace::SyncML, "Cmd"},
    {tag::CmdID, 0x0B, Namespace::SyncML, "CmdID"},
    {tag::CmdRef, 0x0C, Namespace::SyncML, "CmdRef"},
    {tag::Copy, 0x0D, Namespace::SyncML, "Copy"},
    {tag::Cred, 0x0E, Namespace::SyncML, "Cred"},
    {tag::Data, 0x0F, Namespace::SyncML, "Data"},
    {tag::Delete, 0x10, Namespace::SyncML, "Delete"},
    {tag::Exec, 0x11, Namespace::SyncML, "Exec"},
    {tag::Final, 0x12, Namespace::SyncML, "Final"},
    {tag::Get, 0x13, Namespace::SyncML, "Get"},
    {tag::Item, 0x14, Namespace::SyncML, "Item"},
    {tag::Lang, 0x15, Namespace::SyncML, "Lang"},
    {tag::LocName, 0x16, Namespace::SyncML, "LocName"},
    {tag::LocURI, 0x17, Namespace::SyncML, "LocURI"},
    {tag::Map, 0x18, Namespace::SyncML, "Map"},
    {tag::MapItem, 0x19, Namespace::SyncML, "MapItem"},
    {tag::Meta, 0x1A, Namespace::SyncML, "Meta"},
    {tag::MsgID, 0x1B, Namespace::SyncML, "MsgID"},
    {tag::MsgRef, 0x1C, Namespace::SyncML, "MsgRef"},
    {tag::NoResp, 0x1D, Namespace::SyncML, "NoResp"},
    {tag::NoResults, 0x1E, Namespace::SyncML, "NoResults"},
    {tag::Put, 0x1F, Namespace::SyncML, "Put"},
    {tag::Replace, 0x20, Namespace::SyncML, "Replace"},
    {tag::RespURI, 0x21, Namespace::SyncML, "RespURI"},
    {tag::Results, 0x22, Namespace::SyncML, "Results"},
    {tag::Search, 0x23, Namespace::SyncML, "Search"},
    {tag::Sequence, 0x24, Namespace::SyncML, "Sequence"},
    {tag::SessionID, 0x25, Namespace::SyncML, "SessionID"},
    {tag::SftDel, 0x26, Namespace::SyncML, "SftDel"},
    {tag::Source, 0x27, Namespace::SyncML, "Source"},
    {tag::SourceRef, 0x28, Namespace::SyncML, "SourceRef"},
    {tag::Status, 0x29, Namespace::SyncML, "Status"},
    {tag::Sync, 0x2A, Namespace::SyncML, "Sync"},
    {tag::SyncBody, 0x2B, Namespace::SyncML, "SyncBody"},
    {tag::SyncHdr, 0x2C, Namespace::SyncML, "SyncHdr"},
    {tag::SyncML, 0x2D, Namespace::SyncML, "SyncML"},
    {tag::Target, 0x2E, Namespace::SyncML, "Target"},
    {tag::TargetRef, 0x2F, Namespace::SyncML, "TargetRef"},
    {tag::VerDTD, 0x31, Namespace::SyncML, "VerDTD"},
    {tag::VerProto, 0x32, Namespace::SyncML, "VerProto"},
    {tag::NumberOfChanges, 0x33, Namespace::SyncML, "NumberOfChanges"},
    {tag::MoreData, 0x34, Namespace::SyncML, "MoreData"},

    {tag::Anchor, 0x05, Namespace::MetInf, "Anchor"},
    {tag::EMI, 0x06, Namespace::MetInf, "EMI"},
    {tag::Format, 0x07, Namespace::MetInf, "Format"},
    {tag::FreeID, 0x08, Namespace::MetInf, "FreeID"},
    {tag::FreeMem, 0x09, Namespace::MetInf, "FreeMem"},
    {tag::Last, 0x0A, Namespace::MetInf, "Last"},
    {tag::Mark, 0x0B, Namespace::MetInf, "Mark"},
    {tag::MaxMsgSize, 0x0C, Namespace::MetInf, "MaxMsgSize"},
    {tag::Mem, 0x0D, Namespace::MetInf, "Mem"},
    {tag::MetInf, 0x0E, Namespace::MetInf, "MetInf"},
    {tag::Next, 0x0F, Namespace::MetInf, "Next"},
    {tag::NextNonce, 0x10, Namespace::MetInf, "NextNonce"},
    {tag::SharedMem, 0x11, Namespace::MetInf, "SharedMem"},
    {tag::Size, 0x12, Namespace::MetInf, "Size"},
    {tag::Type, 0x13, Namespace::MetInf, "Type"},
    {tag::Version, 0x14, Namespace::MetInf, "Version"},
    {tag::MaxObjSize, 0x15, Namespace::MetInf, "MaxObjSize"},

    {tag::CTCap, 0x05, Namespace::DevInf, "CTCap"},
    {tag::CTType, 0x06, Namespace::DevInf, "CTType"},
    {tag::DataStore, 0x07, Namespace::DevInf, "DataStore"},
    {tag::DataType, 0x08, Namespace::DevInf, "DataType"},
    {tag::DevID, 0x09, Namespace::DevInf, "DevID"},
    {tag::DevInf, 0x0A, Namespace::DevInf, "DevInf"},
    {tag::DevTyp, 0x0B, Namespace::DevInf, "DevTyp"},
    {tag::DisplayName, 0x0C, Namespace::DevInf, "DisplayName"},
    {tag::DSMem, 0x0D, Namespace::DevInf, "DSMem"},
    {tag::Ext, 0x0E, Namespace::DevInf, "Ext"},
    {tag::FwV, 0x0F, Namespace::DevInf, "FwV"},
    {tag::HwV, 0x10, Namespace::DevInf, "HwV"},
    {tag::Man, 0x11, Namespace::DevInf, "Man"},
    {tag::MaxGUIDSize, 0x12, Namespace::DevInf, "MaxGUIDSize"},
    {tag::MaxID, 0x13, Namespace::DevInf, "MaxID"},
    {tag::MaxMem, 0x14, Namespace::DevInf, "MaxMem"},
    {tag::Mod, 0x15, Namespace::DevInf, "Mod"},
    {tag::OEM, 0x16, Namespace::DevInf, "OEM"},
    {tag::ParamName, 0x17, Namespace::DevInf, "ParamName"},
    {tag::PropName, 0x18, Namespace::DevInf, "PropName"},
    {tag::Rx, 0x19, Namespace::DevInf, "Rx"},
    {tag::RxPref, 0x1A, Namespace::DevInf, "Rx-Pref"},
    {tag::DevInfSharedMem, 0x1B, Namespace::DevInf, "SharedMem"},
    {tag::DevInfSize, 0x1C, Namespace::DevInf, "Size"},
    {tag::DevInfSourceRef, 0x1D, Namespace::DevInf, "SourceRef"},
    {tag::SwV, 0x1E, Namespace::DevInf, "SwV"},
    {tag::SyncCap, 0x1F, Namespace::DevInf, "SyncCap"},
    {tag::SyncType, 0x20, Namespace::DevInf, "SyncType"},
    {tag::Tx, 0x21, Namespace::DevInf, "Tx"},
    {tag::TxPref, 0x22, Namespace::DevInf, "Tx-Pref"},
    {tag::ValEnum, 0x23, Namespace::DevInf, "ValEnum"},
    {tag::VerCT, 0x24, Namespace::DevInf, "VerCT"},
    {tag::DevInfVerDTD, 0x25, Namespace::DevInf, "VerDTD"},
    {tag::XNam, 0x26, Namespace::DevInf, "XNam"},
    {tag::XVal, 0x27, Namespace::DevInf, "XVal"},
    {tag::UTC, 0x28, Namespace::DevInf, "UTC"},
    {tag::SupportNumberOfChanges, 0x29, Namespace::DevInf, "SupportNumberOfChanges"},
    {tag::SupportLargeObjs, 0x2A, Namespace::DevInf, "SupportLargeObjs"},
};

struct Tables {
    std::array<TagInfo, tag::Count> byId{};
    std::array<std::array<TagId, 64>, 3> byToken{};
};

constexpr Tables buildTables() {
    Tables t{};
    for (const Row& r : kRows) {
        t.byId[r.id] = TagInfo{r.token, r.ns, r.name};
        t.byToken[static_cast<std::size_t>(r.ns)][r.token] = r.id;
    }
    // The pseudo tags that close Atomic, Sequence and Sync have no token of their own.
    t.byId[tag::AtomicEnd] = TagInfo{0, Namespace::SyncML, "Atomic"};
    t.byId[tag::SequenceEnd] = TagInfo{0, Namespace::SyncML, "Sequence"};
    t.byId[tag::SyncEnd] = TagInfo{0, Namespace::SyncML, "Sync"};
    return t;
}

constexpr Tables kTables = buildTables();

}  // namespace

const TagInfo& tagInfo(TagId id) {
    return kTables.byId[id < tag::Count ? id : 0];
}

TagId tagByToken(Namespace ns, std::uint8_t token) {
    if (token >= 64) return tag::None;
    return kTables.byToken[static_cast<std::size_t>(ns)][token];
}

TagId tagByName(Namespace ns, std::string_view name) {
    for (const Row& r : kRows) {
        if (r.ns == ns && r.name == name) return r.id;
    }
    return tag::None;
}

bool sameTagName(TagId a, TagId b) {
    return a == b || (a != tag::None && tagInfo(a).name == tagInfo(b).name);
}

}  // namespace orvale
