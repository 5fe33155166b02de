#include "SampleMessages.h"

#include <cstdio>

#include "syncml/DevInfElements.h"

namespace orvale::test {

SampleMessage::SampleMessage(Header* header) : header_(header) { header_->addRef(); }

SampleMessage::~SampleMessage() {
    for (auto& [kind, element] : commands_) {
        if (element != nullptr) element->release();
    }
    header_->release();
}

void SampleMessage::add(DecodedKind kind, SyncElement* command) {
    if (command != nullptr) command->addRef();
    commands_.emplace_back(kind, command);
}

std::vector<DecodedCommand> SampleMessage::commands() const {
    std::vector<DecodedCommand> out;
    for (const auto& [kind, element] : commands_) {
        DecodedCommand c;
        c.kind = kind;
        c.layout = commandLayout(kind);
        c.record = element != nullptr ? element->record() : nullptr;
        out.push_back(c);
    }
    DecodedCommand end;
    end.final = final_;
    out.push_back(end);
    return out;
}

namespace {

std::string encodeWith(MessageWriter& w, const HeaderRecord& header, const std::vector<DecodedCommand>& commands,
                       ToolkitCode* result) {
    w.begin(nullptr, 0, true);
    ToolkitCode c = writeMessage(w, header, commands);
    std::string out;
    if (c == code::Ok) {
        out.resize(w.written());
        w.begin(reinterpret_cast<std::uint8_t*>(out.data()), out.size());
        c = writeMessage(w, header, commands);
    }
    if (result != nullptr) *result = c;
    if (c != code::Ok) out.clear();
    return out;
}

}  // namespace

std::string SampleMessage::encode(MessageWriter& w, ToolkitCode* result) const {
    return encodeWith(w, header(), commands(), result);
}

std::string encodeRecords(MessageWriter& w, const DecodedMessage& m, ToolkitCode* result) {
    return encodeWith(w, *m.header, m.commands, result);
}

std::string sampleVCard(int index, std::size_t size) {
    char head[512];
    std::snprintf(head, sizeof head,
                  "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Lastname%03d;Firstname;;;\r\nFN:Firstname Lastname%03d\r\n"
                  "ORG:AT&T;Research\r\nTEL;WORK;VOICE:+44 20 7946 %04d\r\nTEL;CELL:+44 7700 9%05d\r\n"
                  "EMAIL;INTERNET:person%03d@example.com\r\nADR;HOME:;;%d High Street;Leeds;;LS1 %dAB;UK\r\n",
                  index, index, index, index * 7, index, index + 1, index % 10);
    std::string card = head;
    std::string note = "NOTE:Met at the <b>conference</b>; ";
    while (card.size() + note.size() + 20 < size) note += "call back about the quote. ";
    card += note + "\r\nEND:VCARD\r\n";
    return card;
}

Header* sampleHeader(bool fromServer) {
    auto* h = new Header();
    h->setVerDTD("1.1");
    h->setVerProto("SyncML/1.1");
    h->setSessionID(1234);
    h->setMsgID(2);
    if (fromServer) {
        h->setTarget("IMEI:490154203237518");
        h->setSource("http://sync.example.com/sync");
        h->setRespURI("http://sync.example.com/sync?s=a1b2c3");
    } else {
        h->setTarget("http://sync.example.com/sync");
        h->setSource("IMEI:490154203237518");
        auto* meta = new MetInfElem();
        meta->setMaxMsgSize(65536);
        meta->setMaxObjSize(4000000);
        h->setMeta(meta);
    }
    return h;
}

namespace {

Status* status(int cmdID, int cmdRef, const std::string& cmd, int code) {
    auto* s = new Status();
    s->setCmdID(cmdID);
    s->setMsgRef(1);
    s->setCmdRef(cmdRef);
    s->setCmd(cmd);
    s->setData(code);
    return s;
}

ItemElement* vcardItem(bool source, const std::string& key, const std::string& data) {
    auto* item = new ItemElement();
    if (source) item->setSource(new SourceOrTarget(key));
    else item->setTarget(new SourceOrTarget(key));
    item->setData(data);
    return item;
}

MetInfElem* typeMeta(const std::string& type) {
    auto* meta = new MetInfElem();
    meta->setType(type);
    return meta;
}

}  // namespace

void buildClientSync(SampleMessage& m, int contacts) {
    Status* hdr = status(1, 0, "SyncHdr", 200);
    hdr->addTargetRef("IMEI:490154203237518");
    hdr->addSourceRef("http://sync.example.com/sync");
    m.add(DecodedKind::Status, hdr);
    Status* alert = status(2, 1, "Alert", 200);
    alert->addTargetRef("Contacts");
    alert->addSourceRef("./contacts");
    auto* anchorItem = new ItemElement();
    auto* meta = new MetInfElem();
    auto* anchor = new Anchor();
    anchor->setNext("20261208T211500Z");
    meta->setAnchor(anchor);
    anchorItem->setMeta(meta);
    alert->addItems(anchorItem);
    m.add(DecodedKind::Status, alert);

    auto* sync = new StartSync();
    sync->setCmdID(3);
    sync->setTarget(new SourceOrTarget("./contacts"));
    sync->setSource(new SourceOrTarget("Contacts"));
    sync->setNumberOfChanges(contacts + 2);
    m.add(DecodedKind::Sync, sync);
    auto* add = new Generic(element_type::Add);
    add->setCmdID(4);
    add->setMeta(typeMeta("text/x-vcard"));
    for (int i = 0; i < contacts; ++i) add->addItems(vcardItem(true, std::to_string(-2147480000 + i * 37), sampleVCard(i, 1000)));
    m.add(DecodedKind::Add, add);
    auto* replace = new Generic(element_type::Replace);
    replace->setCmdID(5);
    replace->setMeta(typeMeta("text/x-vcard"));
    replace->addItems(vcardItem(true, "1073741830", sampleVCard(900, 400)));
    m.add(DecodedKind::Replace, replace);
    auto* del = new Generic(element_type::Delete);
    del->setCmdID(6);
    del->setSftDel(true);
    auto* gone = new ItemElement();
    gone->setSource(new SourceOrTarget("1073741831"));
    del->addItems(gone);
    m.add(DecodedKind::Delete, del);
    m.endSync();
}

void buildServerReply(SampleMessage& m, int statuses, int replaces) {
    Status* hdr = status(1, 0, "SyncHdr", 200);
    hdr->addTargetRef("http://sync.example.com/sync");
    hdr->addSourceRef("IMEI:490154203237518");
    auto* chal = new Chalenger();
    auto* meta = new MetInfElem();
    meta->setType("syncml:auth-md5");
    meta->setFormat("b64");
    meta->setNextNonce("ZG9tYWluOnJvb3Q=");
    chal->setMeta(meta);
    hdr->setChal(chal);
    m.add(DecodedKind::Status, hdr);
    int cmdID = 2;
    for (int i = 0; i < statuses; ++i) {
        Status* s = status(cmdID++, 4, "Add", 201);
        s->addSourceRef(std::to_string(-2147480000 + i * 37));
        m.add(DecodedKind::Status, s);
    }
    auto* sync = new StartSync();
    sync->setCmdID(cmdID++);
    sync->setTarget(new SourceOrTarget("Contacts"));
    sync->setSource(new SourceOrTarget("./contacts"));
    m.add(DecodedKind::Sync, sync);
    for (int i = 0; i < replaces; ++i) {
        auto* replace = new Generic(element_type::Replace);
        replace->setCmdID(cmdID++);
        replace->setMeta(typeMeta("text/x-vcard"));
        replace->addItems(vcardItem(false, std::to_string(1073741900 + i), sampleVCard(500 + i, 600)));
        m.add(DecodedKind::Replace, replace);
    }
    m.endSync();
}

DevInfoElement* sampleDevInf() {
    auto* d = new DevInfoElement();
    d->setVerDTD("1.1");
    d->setMan("Example & Sons");
    d->setMod("SyncServer 5");
    d->setDevID("sync.example.com");
    d->setDevTyp("server");
    d->setUTC(true);
    d->setSupportLargeObjs(true);
    auto* ds = new DevInfDataStoreElement();
    ds->setSourceRef("./contacts");
    ds->setDisplayName("Contacts");
    ds->setMaxGUIDSize(32);
    ds->setRxPref(new DevInfXmitElement("text/x-vcard", "2.1"));
    ds->addRx(new DevInfXmitElement("text/vcard", "3.0"));
    ds->setTxPref(new DevInfXmitElement("text/x-vcard", "2.1"));
    auto* mem = new DevInfDsmemElement();
    mem->setSharedMem(true);
    mem->setMaxID(10000);
    ds->setDSMem(mem);
    auto* cap = new DevInfSyncCapElement();
    cap->addSyncType("1");
    cap->addSyncType("2");
    cap->addSyncType("7");
    ds->setSyncCap(cap);
    d->addDataStores(ds);
    auto* ct = new CtCapsInfElement();
    ct->setCTType("text/x-vcard");
    auto* begin = new DevInfCtDataPropElement();
    auto* name = new DevInfCtDataElement();
    name->setName("BEGIN");
    name->addValEnum("VCARD");
    begin->setProperty(name);
    ct->addProps(begin);
    auto* tel = new DevInfCtDataPropElement();
    auto* telName = new DevInfCtDataElement();
    telName->setName("TEL");
    telName->setDisplayName("Phone");
    tel->setProperty(telName);
    auto* param = new DevInfCtDataElement();
    param->setName("TYPE");
    param->addValEnum("WORK");
    param->addValEnum("CELL");
    tel->addParams(param);
    ct->addProps(tel);
    d->addCtCaps(ct);
    auto* ext = new DevInfExtElement();
    ext->setXNam("X-Example-Limit");
    ext->addXVal("50");
    d->addExts(ext);
    return d;
}

void buildDevInfResults(SampleMessage& m) {
    Status* hdr = status(1, 0, "SyncHdr", 200);
    hdr->addTargetRef("http://sync.example.com/sync");
    hdr->addSourceRef("IMEI:490154203237518");
    m.add(DecodedKind::Status, hdr);
    auto* results = new Result();
    results->setCmdID(2);
    results->setMsgRef(1);
    results->setCmdRef(5);
    results->setMeta(typeMeta("application/vnd.syncml-devinf+xml"));
    results->setTargetRef("./devinf11");
    auto* item = new ItemElement();
    item->setSource(new SourceOrTarget("./devinf11"));
    item->setDataDevInf(sampleDevInf());
    results->addItems(item);
    m.add(DecodedKind::Results, results);
}

}  // namespace orvale::test
