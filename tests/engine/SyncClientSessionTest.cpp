// Whole sessions against the programmable server: changes spread over messages within the
// negotiated size, the server's item commands with their codes and the Map, refused credentials,
// items that can never fit, and replies that are not messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "SessionHarness.h"
#include "engine/AbortRecord.h"
#include "engine/CSyncClientException.h"
#include "engine/PendingMapJournal.h"
#include "engine/SessionDataStore.h"
#include "engine/SyncClient.h"
#include "stores/DataStore.h"
#include "stores/DataStoreKind.h"
#include "stores/ItemList.h"
#include "stores/StoreItem.h"
#include "support/TempDeviceRoot.h"

namespace orvale::test {
namespace {

constexpr const char* kStoredAnchor = "20260101T000000Z:srv-last:1767225600";

struct Session {
    TempDeviceRoot root;
    TinyFactory factory;
    SessionDataStore data{SessionDataStore::InMemory{}};
    Recorder observer;
    std::unique_ptr<ScriptServer> server;
    std::vector<SyncSource> sources{SyncSource{kKindContacts, {"./contacts", "text/x-vcard", ""},
                                               {"./WinMobileContacts", "text/x-vcard", "Contacts"}}};

    TinyFolder& contacts() { return factory.folder(kKindContacts); }

    SyncResult run(ScriptServer::Script script) {
        server = std::make_unique<ScriptServer>(std::move(script));
        ClientConfig config;
        config.device.deviceId = kTestDevice;
        SyncClient client(config, factory, *server, observer, std::make_shared<AbortRecord>(), data);
        return client.run(ServerConfig{kTestUrl, "user", "secret", 0}, sources);
    }
};

// The server's answer to the folder Alerts of the initialisation: 200 and its own anchors.
void answerAlerts(const ClientMessage& request, ServerReply& reply) {
    for (SyncElement* e : request.all(CommandKind::Alert)) {
        auto* clientAlert = static_cast<Alert*>(e);
        if (clientAlert->data() == "222") continue;
        auto* alert = new Alert();
        alert->setCmdID(reply.nextCmdId());
        alert->setData(200);
        auto* item = new ItemElement();
        item->setTarget(new SourceOrTarget("Contacts"));
        item->setSource(new SourceOrTarget("./contacts"));
        auto* meta = new MetInfElem();
        auto* anchor = new Anchor();
        anchor->setLast("srv-last");
        anchor->setNext("srv-next");
        meta->setAnchor(anchor);
        item->setMeta(meta);
        alert->addItems(item);
        reply.command(CommandKind::Alert, alert);
    }
}

bool hasFolderAlert(const ClientMessage& m) {
    for (SyncElement* e : m.all(CommandKind::Alert))
        if (static_cast<Alert*>(e)->data() != "222") return true;
    return false;
}

// Keys of the item commands of every message, as "Replace 5".
std::vector<std::string> sentChanges(const std::vector<ClientMessage>& requests) {
    std::vector<std::string> out;
    for (const auto& m : requests) {
        for (const auto& c : m.decoded.commands) {
            if (c.kind != CommandKind::Add && c.kind != CommandKind::Replace && c.kind != CommandKind::Delete) continue;
            const auto* g = static_cast<Generic*>(c.element.get());
            out.push_back(commandName(c.kind) + " " + firstItemSource(g));
        }
    }
    return out;
}

TEST(SyncClientSession, ChangesSpreadOverMessagesWithinTheNegotiatedSizeInListOrder) {
    Session s;
    TinyFolder& f = s.contacts();
    f.storedAnchor = kStoredAnchor;
    for (std::uint32_t id : {11u, 12u, 13u, 21u, 22u, 23u}) f.items[keyForOid(id)] = vcard("n" + std::to_string(id), 900);
    f.updated = {11, 12, 13};
    f.added = {21, 22, 23};
    f.deleted = {0x80000001u, 32};

    const SyncResult result = s.run([](int, const ClientMessage& request, ServerReply& reply) {
        reply.acceptAll();
        if (hasFolderAlert(request)) {
            auto* meta = new MetInfElem();
            meta->setMaxMsgSize("3000");
            reply.header().setMeta(meta);
            answerAlerts(request, reply);
            return;
        }
        // The server's package ends when ours did.
        reply.final = request.final();
        if (request.final() && !request.all(CommandKind::Sync).empty()) {
            reply.openSync("Contacts", "./contacts");
            reply.closeSync();
        }
    });
    ASSERT_EQ(result, SyncResult::Done);

    const auto& requests = s.server->requests;
    EXPECT_EQ(sentChanges(requests),
              (std::vector<std::string>{"Replace 11", "Replace 12", "Replace 13", "Add 21", "Add 22", "Add 23",
                                        "Delete -2147483647", "Delete 32"}));
    int messagesWithSync = 0;
    bool allSent = false;
    for (std::size_t i = 1; i < requests.size(); ++i) {
        EXPECT_LE(requests[i].bytes.size(), 3000u) << "message " << i + 1;
        if (!requests[i].all(CommandKind::Sync).empty()) ++messagesWithSync;
        const auto changes = sentChanges({requests[i]});
        if (!changes.empty() && changes.back() == "Delete 32") allSent = true;
        EXPECT_EQ(requests[i].final(), allSent) << "Final only once every change is out, message " << i + 1;
    }
    EXPECT_GE(messagesWithSync, 3);
    // Each Sync announces the folder's whole change count.
    const auto* sync = static_cast<StartSync*>(requests[1].all(CommandKind::Sync).at(0));
    EXPECT_EQ(sync->numberOfChanges(), "8");

    std::vector<std::string> acked = f.acknowledged;
    std::sort(acked.begin(), acked.end());
    EXPECT_EQ(acked, (std::vector<std::string>{"-2147483647", "11", "12", "13", "21", "22", "23", "32"}));
    ASSERT_EQ(f.savedAnchors.size(), 1u);
    EXPECT_NE(f.savedAnchors[0].find(":srv-next:"), std::string::npos) << f.savedAnchors[0];
}

TEST(SyncClientSession, ServerStatusesForOurItemsCountAndAcknowledgeByCode) {
    Session s;
    TinyFolder& f = s.contacts();
    f.storedAnchor = kStoredAnchor;
    for (std::uint32_t id = 1; id <= 6; ++id) f.items[keyForOid(id)] = vcard("n" + std::to_string(id));
    f.added = {1, 2, 3, 4};
    f.updated = {5, 6};
    f.deleted = {7, 8, 9};
    // The server's answer per item key, and what the client makes of it.
    const std::map<std::string, int> answers{{"1", 201}, {"2", 200}, {"3", 419}, {"4", 500}, {"5", 201},
                                             {"6", 404}, {"7", 200}, {"8", 211}, {"9", 500}};
    const SyncResult result = s.run([&](int, const ClientMessage& request, ServerReply& reply) {
        if (hasFolderAlert(request)) {
            reply.acceptAll();
            return answerAlerts(request, reply);
        }
        reply.status("SyncHdr", "0", 200);
        for (const auto& c : request.decoded.commands) {
            if (c.kind == CommandKind::Sync && c.element) reply.status("Sync", static_cast<StartSync*>(c.element.get())->cmdID(), 200);
            if (c.kind != CommandKind::Add && c.kind != CommandKind::Replace && c.kind != CommandKind::Delete) continue;
            const auto* g = static_cast<Generic*>(c.element.get());
            reply.status(commandName(c.kind), g->cmdID(), answers.at(firstItemSource(g)));
        }
    });
    ASSERT_EQ(result, SyncResult::Done);
    std::vector<std::string> clientItems;
    for (const auto& i : s.observer.items)
        if (i.rfind("client ", 0) == 0) clientItems.push_back(i);
    // Replace answered 201 counts as added; Add answered 200 or 419 as replaced.
    EXPECT_EQ(clientItems, (std::vector<std::string>{"client Contacts 0 ok", "client Contacts 2 failed",
                                                     "client Contacts 0 ok", "client Contacts 2 ok", "client Contacts 2 ok",
                                                     "client Contacts 0 failed", "client Contacts 1 ok",
                                                     "client Contacts 1 ok", "client Contacts 1 failed",
                                                     "client Contacts 5 ok"}));
    std::vector<std::string> acked = f.acknowledged;
    std::sort(acked.begin(), acked.end());
    EXPECT_EQ(acked, (std::vector<std::string>{"1", "2", "3", "5", "7", "8"}));
}

// An Add whose journal entry cannot be kept (a server ID beyond its bounds, an entry the store
// refuses) is not stored either: no item of the server's may be unknown to the journal.
TEST(SyncClientSession, ServerItemCommandsGetTheirCodesAndOneMapPerAdd) {
    Session s;
    TinyFolder& f = s.contacts();
    f.storedAnchor = kStoredAnchor;
    f.items["1"] = vcard("one");
    f.items["2"] = vcard("two");
    f.refuse = "REFUSE";
    f.refuseMapOf = "s4";
    const std::string longId(PendingMapJournal::kMaxFieldBytes + 1, 'x');

    const SyncResult result = s.run([&](int index, const ClientMessage& request, ServerReply& reply) {
        reply.acceptAll();
        if (hasFolderAlert(request)) return answerAlerts(request, reply);
        if (index != 2) return;
        reply.openSync("Contacts", "./contacts");
        reply.command(CommandKind::Add, itemCommand(element_type::Add, "a1",
                                                    {{"s1", vcard("A")}, {"s2", vcard("B")}, {longId, vcard("C")}, {"s4", vcard("D")}},
                                                    false));
        reply.command(CommandKind::Add, itemCommand(element_type::Add, "a2", {{"s3", ""}}, false));
        reply.command(CommandKind::Replace,
                      itemCommand(element_type::Replace, "r1", {{"1", vcard("uno")}, {"77", vcard("x")}, {"2", "REFUSE"}}, true));
        reply.command(CommandKind::Delete, itemCommand(element_type::Delete, "d1", {{"2", ""}, {"555", ""}}, true));
        reply.closeSync();
        reply.command(CommandKind::Add, itemCommand(element_type::Add, "a4", {{"s9", vcard("outside")}}, false));
        reply.command(CommandKind::Delete, itemCommand(element_type::Delete, "d2", {{"1", ""}}, true));
        // Statuses that name commands we never sent are reported, not followed.
        reply.status("Add", "999", 201);
        reply.status("Add", "1", 201)->setMsgRef("77");
    });
    ASSERT_EQ(result, SyncResult::Done);
    ASSERT_GE(s.server->requests.size(), 3u);
    const ClientMessage& answer = s.server->requests[2];

    auto codes = [&](const std::string& cmd) {
        std::vector<std::string> out;
        for (Status* st : answer.statusesFor(cmd)) {
            std::string ref;
            if (st->sourceRefs() && st->sourceRefs()->size() > 0) ref = st->sourceRefs()->at(0)->bytes();
            if (st->targetRefs() && st->targetRefs()->size() > 0) ref = st->targetRefs()->at(0)->bytes();
            out.push_back(st->cmdRef() + ":" + ref + "=" + st->data());
        }
        return out;
    };
    EXPECT_EQ(codes("Add"), (std::vector<std::string>{"a1:s1=201", "a1:s2=201", "a1:" + longId + "=500", "a1:s4=500",
                                                      "a2:s3=500", "a4:=500"}));
    EXPECT_EQ(codes("Replace"), (std::vector<std::string>{"r1:1=200", "r1:77=404", "r1:2=400"}));
    EXPECT_EQ(codes("Delete"), (std::vector<std::string>{"d1:2=200", "d1:555=211", "d2:=400"}));

    const auto maps = answer.all(CommandKind::Map);
    ASSERT_EQ(maps.size(), 1u);
    const auto* map = static_cast<Map*>(maps[0]);
    EXPECT_EQ(locUri(map->target()), "./contacts");
    EXPECT_EQ(locUri(map->source()), "Contacts");
    ASSERT_EQ(map->mapItems()->size(), 2u);
    EXPECT_EQ(locUri(map->mapItems()->at(0)->target()), "s1");
    EXPECT_EQ(locUri(map->mapItems()->at(0)->source()), "9000");
    EXPECT_EQ(locUri(map->mapItems()->at(1)->target()), "s2");
    EXPECT_EQ(locUri(map->mapItems()->at(1)->source()), "9001");

    EXPECT_EQ(f.items.at("1"), vcard("uno"));
    EXPECT_EQ(f.items.count("2"), 0u);
    EXPECT_EQ(f.items.at("9000"), vcard("A"));
    EXPECT_EQ(f.items.count("9002"), 0u) << "the item stored for s4 goes again";
    EXPECT_EQ(f.items.size(), 3u);
    EXPECT_TRUE(s.observer.hasText("Command was not found for command #999"));
    EXPECT_TRUE(s.observer.hasText("Command was not found for command #1"));
    EXPECT_TRUE(f.acknowledged.empty());
    EXPECT_EQ(std::count(s.observer.items.begin(), s.observer.items.end(), "server Contacts 0 ok"), 2);
    EXPECT_EQ(std::count(s.observer.items.begin(), s.observer.items.end(), "server Contacts 2 failed"), 2);
}

TEST(SyncClientSession, RefusedHeaderSendsTheFolderAlertsAgainWithTheNewCredentials) {
    Session s;
    s.contacts().storedAnchor = kStoredAnchor;
    const SyncResult result = s.run([](int index, const ClientMessage& request, ServerReply& reply) {
        if (index == 1) {
            Status* st = reply.status("SyncHdr", "0", 401);
            auto* chal = new Chalenger();
            auto* meta = new MetInfElem();
            meta->setType("syncml:auth-md5");
            meta->setFormat("b64");
            meta->setNextNonce("bm9uY2U=");
            chal->setMeta(meta);
            st->setChal(chal);
            return;
        }
        reply.acceptAll();
        if (hasFolderAlert(request)) answerAlerts(request, reply);
    });
    EXPECT_EQ(result, SyncResult::Done);
    const auto& requests = s.server->requests;
    ASSERT_GE(requests.size(), 3u);
    const auto* first = static_cast<Header*>(requests[0].decoded.commands[0].element.get());
    const auto* second = static_cast<Header*>(requests[1].decoded.commands[0].element.get());
    EXPECT_EQ(first->cred(), nullptr);
    ASSERT_NE(second->cred(), nullptr);
    EXPECT_EQ(second->cred()->meta()->type(), "syncml:auth-md5");
    EXPECT_EQ(second->source()->locName(), "user");
    EXPECT_TRUE(hasFolderAlert(requests[1])) << "the refused Alert goes out again";
    EXPECT_NE(static_cast<Alert*>(requests[1].all(CommandKind::Alert)[0])->cmdID(),
              static_cast<Alert*>(requests[0].all(CommandKind::Alert)[0])->cmdID());
    EXPECT_EQ(s.data.getString("AuthType"), "1");
    EXPECT_EQ(s.data.getString("NextNonce"), "bm9uY2U=");
    EXPECT_FALSE(requests[2].all(CommandKind::Sync).empty()) << "the folder is synchronised";
}

TEST(SyncClientSession, AnItemThatCanNeverFitIsSkippedAsFailedAndTheFolderEnds) {
    Session s;
    TinyFolder& f = s.contacts();
    f.storedAnchor = kStoredAnchor;
    f.items["1"] = vcard("huge", 70000);
    f.items["2"] = vcard("small");
    f.added = {1, 2};
    const SyncResult result = s.run([](int, const ClientMessage& request, ServerReply& reply) {
        reply.acceptAll();
        if (hasFolderAlert(request)) answerAlerts(request, reply);
    });
    EXPECT_EQ(result, SyncResult::Done);
    EXPECT_EQ(sentChanges(s.server->requests), (std::vector<std::string>{"Add 2"}));
    EXPECT_EQ(std::count(s.observer.items.begin(), s.observer.items.end(), "client Contacts 0 failed"), 1);
    EXPECT_EQ(f.acknowledged, (std::vector<std::string>{"2"}));
}

// An item that goes up in chunks comes back in chunks cut elsewhere: both joins are byte for byte,
// whatever the cuts split (a UTF-8 character) and whatever an encoder might escape (&, <, CR).
TEST(SyncClientSession, LargeObjectsTravelBothWaysJoinedExactly) {
    Session s;
    s.data.setBool("supportLargeObjects", true);
    TinyFolder& f = s.contacts();
    f.storedAnchor = kStoredAnchor;
    std::string text = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Big\r\nNOTE;CHARSET=UTF-8:";
    while (text.size() < 9000) text += "Gr\xC3\xBC\xC3\x9F" "e & <b>\r\n \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x99\x82 ";
    text += "\r\nEND:VCARD\r\n";
    f.items["1"] = text;
    f.added = {1};

    std::string up, declared;
    std::vector<bool> upMoreData;
    int upCutsInsideCharacters = 0;
    // The server's own cuts, each inside a multi-byte character.
    std::vector<std::size_t> cuts;
    for (std::size_t at = 1500; at < text.size(); at += 1500) {
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) ++at;
        if (at < text.size()) cuts.push_back(at);
    }
    ASSERT_GE(cuts.size(), 3u);
    cuts.push_back(text.size());
    std::size_t sentDown = 0, chunk = 0;
    const SyncResult result = s.run([&](int, const ClientMessage& request, ServerReply& reply) {
        if (hasFolderAlert(request)) {
            reply.acceptAll();
            auto* meta = new MetInfElem();
            meta->setMaxMsgSize("3000");
            meta->setMaxObjSize("1000000");
            reply.header().setMeta(meta);
            return answerAlerts(request, reply);
        }
        reply.status("SyncHdr", "0", 200);
        for (SyncElement* e : request.all(CommandKind::Sync)) reply.status("Sync", static_cast<StartSync*>(e)->cmdID(), 200);
        for (SyncElement* e : request.all(CommandKind::Alert)) reply.status("Alert", static_cast<Alert*>(e)->cmdID(), 200);
        for (SyncElement* e : request.all(CommandKind::Add)) {
            auto* add = static_cast<Generic*>(e);
            const ItemElement* item = add->items()->at(0);
            if (add->meta() != nullptr && add->meta()->sizeCData() != nullptr) declared += add->meta()->size() + " ";
            up += item->data();
            upMoreData.push_back(item->moreData());
            if (item->moreData() && up.size() < text.size() && (static_cast<unsigned char>(text[up.size()]) & 0xC0) == 0x80)
                ++upCutsInsideCharacters;
            reply.status("Add", add->cmdID(), item->moreData() ? 213 : 201);
        }
        reply.final = false;
        if (!request.final() && sentDown == 0) return;
        // Our package, once theirs is complete: the item back, one chunk per message.
        if (chunk == cuts.size()) {
            reply.final = true;
            return;
        }
        reply.openSync("Contacts", "./contacts");
        auto* add = new Generic(element_type::Add);
        add->setCmdID(reply.nextCmdId());
        auto* meta = new MetInfElem();
        meta->setType("text/x-vcard");
        if (sentDown == 0) meta->setSize(static_cast<std::int64_t>(text.size()));
        add->setMeta(meta);
        auto* item = new ItemElement();
        item->setSource(new SourceOrTarget("srv-big"));
        item->setData(text.substr(sentDown, cuts[chunk] - sentDown));
        if (cuts[chunk] < text.size()) item->setMoreData(true);
        add->addItems(item);
        reply.command(CommandKind::Add, add);
        reply.closeSync();
        sentDown = cuts[chunk++];
        reply.final = sentDown == text.size();
    });
    ASSERT_EQ(result, SyncResult::Done);
    EXPECT_EQ(up, text);
    EXPECT_EQ(declared, std::to_string(text.size()) + " ");
    ASSERT_GE(upMoreData.size(), 4u);
    EXPECT_EQ(std::count(upMoreData.begin(), upMoreData.end(), true), static_cast<long>(upMoreData.size()) - 1);
    EXPECT_FALSE(upMoreData.back());
    EXPECT_GT(upCutsInsideCharacters, 0) << "our cuts are on bytes, not characters";
    for (const ClientMessage& m : s.server->requests) EXPECT_LE(m.bytes.size(), 3000u);
    EXPECT_EQ(f.acknowledged, (std::vector<std::string>{"1"}));
    ASSERT_EQ(f.items.count("9000"), 1u);
    EXPECT_EQ(f.items.at("9000"), text);
    EXPECT_EQ(f.items.size(), 2u);
    EXPECT_EQ(std::count(s.observer.items.begin(), s.observer.items.end(), "server Contacts 0 ok"), 1);
}

TEST(SyncClientSession, RepliesThatAreNotMessagesThrowTheSessionsException) {
    const struct {
        const char* what;
        std::function<std::string(std::string)> mangle;
        std::uint32_t code, subCode;
    } cases[] = {
        {"not WBXML", [](std::string) { return std::string("<SyncML>hello</SyncML>"); }, 621, 605},
        {"empty", [](std::string) { return std::string(); }, 610, 607},
        {"larger than the workspace", [](std::string b) { return b + std::string(70000, '\0'); }, 609, 606},
    };
    for (const auto& c : cases) {
        Session s;
        s.contacts().storedAnchor = kStoredAnchor;
        try {
            s.server.reset();
            s.run([&](int, const ClientMessage&, ServerReply& reply) {
                reply.acceptAll();
                s.server->mangle = [&](int, std::string bytes) { return c.mangle(std::move(bytes)); };
            });
            ADD_FAILURE() << c.what << ": no exception";
        } catch (const CSyncClientException& e) {
            EXPECT_EQ(e.code(), c.code) << c.what;
            EXPECT_EQ(e.subCode(), c.subCode) << c.what;
        }
    }
}

TEST(SyncClientSession, EveryTruncationOfAReplyEndsInAResultOrTheSessionsException) {
    // Learn a real phase-2 reply first, then cut it at every length.
    std::string reply;
    {
        Session s;
        s.contacts().storedAnchor = kStoredAnchor;
        s.run([&](int index, const ClientMessage& request, ServerReply& r) {
            r.acceptAll();
            if (hasFolderAlert(request)) answerAlerts(request, r);
            if (index == 2) {
                r.openSync("Contacts", "./contacts");
                r.command(CommandKind::Add, itemCommand(element_type::Add, "a1", {{"s1", vcard("A")}}, false));
                r.closeSync();
            }
            if (index == 2) s.server->mangle = [&](int i, std::string b) {
                if (i == 2) reply = b;
                return b;
            };
        });
        ASSERT_FALSE(reply.empty());
    }
    for (std::size_t cut = 0; cut < reply.size(); cut += 3) {
        Session s;
        s.contacts().storedAnchor = kStoredAnchor;
        try {
            const SyncResult result = s.run([&](int, const ClientMessage& request, ServerReply& r) {
                r.acceptAll();
                if (hasFolderAlert(request)) answerAlerts(request, r);
                s.server->mangle = [&](int i, std::string b) { return i == 2 ? reply.substr(0, cut) : b; };
            });
            EXPECT_GE(static_cast<int>(result), 0);
        } catch (const CSyncClientException& e) {
            EXPECT_EQ(e.code(), cut == 0 ? 610u : 621u) << "cut at " << cut;
        }
    }
}

// A session applies the server's Adds and is cut before its Map reaches the server; the end-of-run
// files stay as they were, so the next session sees the device copies as new and the server sends
// the same Adds again. Nothing may end up twice on either side.
TEST(SyncClientSession, AServerAddWhoseMapWasLostIsNotStoredOrSentTwice) {
    Session s;
    TinyFolder& f = s.contacts();
    f.storedAnchor = kStoredAnchor;
    std::string secondText = vcard("A");
    auto script = [&](int index, const ClientMessage& request, ServerReply& reply) {
        reply.acceptAll();
        if (hasFolderAlert(request)) return answerAlerts(request, reply);
        if (index != 2) return;
        reply.openSync("Contacts", "./contacts");
        reply.command(CommandKind::Add, itemCommand(element_type::Add, "a1", {{"s1", secondText}, {"s2", vcard("B")}}, false));
        reply.closeSync();
    };

    EXPECT_THROW(s.run([&](int index, const ClientMessage& request, ServerReply& reply) {
        script(index, request, reply);
        if (index == 3) {
            EXPECT_FALSE(request.all(CommandKind::Map).empty());
            EXPECT_EQ(f.pendingMaps, (std::map<std::string, std::string>{{"s1", "9000"}, {"s2", "9001"}}))
                << "kept with the items before the Map left";
            EXPECT_EQ(f.groupsCommitted, 1);
            s.server->mangle = [](int, std::string) { return std::string(); };
        }
    }), CSyncClientException);
    ASSERT_EQ(f.items.size(), 2u);
    EXPECT_TRUE(f.savedAnchors.empty());

    // Unrecorded by the failed run: both copies come back as new, beside a genuinely new item.
    f.items["5"] = vcard("mine");
    f.items.erase("9001");  // and the user deleted one of them meanwhile
    f.added = {5, 9000};
    secondText = vcard("A2");
    s.server.reset();  // one toolkit instance at a time
    ASSERT_EQ(s.run(script), SyncResult::Done);

    EXPECT_EQ(sentChanges(s.server->requests), (std::vector<std::string>{"Add 5"}));
    // The copy is acknowledged when it is left out and again when the repeated Add lands on it.
    EXPECT_EQ(f.acknowledged, (std::vector<std::string>{"9000", "5", "9000"}));
    EXPECT_EQ(f.items.at("9000"), vcard("A2")) << "the repeated Add updates the first copy";
    EXPECT_EQ(f.items.at("9002"), vcard("B")) << "a copy that is gone is created again";
    EXPECT_EQ(f.items.size(), 3u);
    const ClientMessage& answer = s.server->requests[2];
    std::vector<std::string> statuses, mapped;
    for (Status* st : answer.statusesFor("Add")) statuses.push_back(st->data());
    EXPECT_EQ(statuses, (std::vector<std::string>{"201", "201"}));
    const auto maps = answer.all(CommandKind::Map);
    ASSERT_EQ(maps.size(), 1u);
    for (std::size_t i = 0; i < static_cast<Map*>(maps[0])->mapItems()->size(); ++i) {
        const MapItem* item = static_cast<Map*>(maps[0])->mapItems()->at(i);
        mapped.push_back(locUri(item->target()) + "=" + locUri(item->source()));
    }
    EXPECT_EQ(mapped, (std::vector<std::string>{"s1=9000", "s2=9002"}));
    EXPECT_TRUE(f.pendingMaps.empty()) << "a completed session drops the journal";
    EXPECT_EQ(f.savedAnchors.size(), 1u);
}

// The same over the device's contacts store, whose itemByKey builds an item for any key (a deleted
// contact still goes to the server by its key): a key that names no contact is still no item. The
// server's repeated Add for a journalled copy the user deleted is stored anew; a Replace of a
// deleted or never used key is 404.
TEST(SyncClientSession, OverTheContactsStoreAKeyThatNamesNoContactIsNoItem) {
    Session s;
    s.factory.realStores = true;
    auto openContacts = [&] { return StoreRef<DataStore>(s.factory.createKindById(kKindContacts)->openStore(nullptr)); };
    std::string gone, kept;
    {
        StoreRef<DataStore> store = openContacts();
        ASSERT_TRUE(store->beginWrites());
        for (std::string* key : {&gone, &kept}) {
            StoreRef<StoreItem> item{store->newItem()};
            ASSERT_TRUE(item->setData(vcard(key == &gone ? "Copy" : "Kept")));
            *key = item->key();
        }
        ASSERT_TRUE(store->notePendingMap("s1", gone));
        ASSERT_TRUE(store->commitWrites());
        ASSERT_TRUE(store->deleteItem(gone));
    }
    const SyncResult result = s.run([&](int index, const ClientMessage& request, ServerReply& reply) {
        reply.acceptAll();
        if (hasFolderAlert(request)) return answerAlerts(request, reply);
        if (index != 2) return;
        reply.openSync("Contacts", "./contacts");
        reply.command(CommandKind::Add, itemCommand(element_type::Add, "a1", {{"s1", vcard("Copy2")}}, false));
        reply.command(CommandKind::Replace, itemCommand(element_type::Replace, "r1",
                                                        {{gone, vcard("R")}, {"4242", vcard("R")}, {kept, vcard("Kept2")}}, true));
        reply.closeSync();
    });
    ASSERT_EQ(result, SyncResult::Done);
    const ClientMessage& answer = s.server->requests.at(2);
    std::vector<std::string> codes;
    for (const char* cmd : {"Add", "Replace"})
        for (Status* st : answer.statusesFor(cmd)) codes.push_back(st->data());
    EXPECT_EQ(codes, (std::vector<std::string>{"201", "404", "404", "200"}));
    const auto maps = answer.all(CommandKind::Map);
    ASSERT_EQ(maps.size(), 1u);
    const MapItem* mapped = static_cast<Map*>(maps[0])->mapItems()->at(0);
    EXPECT_EQ(locUri(mapped->target()), "s1");
    const std::string stored = locUri(mapped->source());
    EXPECT_NE(stored, gone);

    StoreRef<DataStore> store = openContacts();
    auto text = [&](const std::string& key) {
        StoreRef<StoreItem> item{store->existingItem(key)};
        return item ? std::string(item->data(), item->dataSize()) : std::string("none");
    };
    EXPECT_NE(text(stored).find("N:Copy2"), std::string::npos);
    EXPECT_NE(text(kept).find("N:Kept2"), std::string::npos);
    EXPECT_EQ(text(gone), "none");
    EXPECT_EQ(text("4242"), "none");
}

// A slow sync after an interrupted one: the journalled copies of server items are not sent up; the
// server's repeated Add lands on its copy; a server Add equal to a device item of the device's own
// that the server took as an Add in this session is answered as equal, not mapped (the server's
// item made of our Add would be left unmapped and come down as new next time); a journalled copy
// the server does not send again stays unrecorded.
TEST(SyncClientSession, ASlowSyncMapsServerAddsToJournalledCopiesAndEqualItemsAndNeverStoresAnEqualItemTwice) {
    Session s;
    TinyFolder& f = s.contacts();
    f.items = {{"9000", vcard("J")}, {"9001", vcard("K")}, {"5", vcard("E")}, {"6", vcard("O")}};
    f.pendingMaps = {{"s1", "9000"}, {"s9", "9001"}};
    f.nextKey = 9100;
    const SyncResult result = s.run([](int index, const ClientMessage& request, ServerReply& reply) {
        reply.acceptAll();
        if (hasFolderAlert(request)) return answerAlerts(request, reply);
        if (index != 2) return;
        reply.openSync("Contacts", "./contacts");
        reply.command(CommandKind::Add, itemCommand(element_type::Add, "a1",
                                                    {{"s1", vcard("J2")}, {"s2", vcard("new")}, {"s3", vcard("E")}}, false));
        reply.command(CommandKind::Add, itemCommand(element_type::Add, "a2", {{"s4", vcard("E")}, {"s5", vcard("K")}}, false));
        reply.closeSync();
    });
    ASSERT_EQ(result, SyncResult::Done);
    const auto& requests = s.server->requests;
    EXPECT_EQ(sentChanges(requests), (std::vector<std::string>{"Add 5", "Add 6"}));
    EXPECT_EQ(static_cast<StartSync*>(requests[1].all(CommandKind::Sync).at(0))->numberOfChanges(), "2")
        << "the copies left out are not announced";

    std::vector<std::string> mapped;
    for (SyncElement* e : requests[2].all(CommandKind::Map)) {
        const auto* map = static_cast<Map*>(e);
        for (std::size_t i = 0; i < map->mapItems()->size(); ++i) {
            const MapItem* item = map->mapItems()->at(i);
            ASSERT_NE(item, nullptr);
            mapped.push_back(locUri(item->target()) + "=" + locUri(item->source()));
        }
    }
    // s3 and s4 equal 5, which the server took, and s5 the copy that waits for s9: the device holds
    // each once, and the server keeps its copies unmapped (answered 200).
    EXPECT_EQ(mapped, (std::vector<std::string>{"s1=9000", "s2=9100"}));
    EXPECT_EQ(f.items.size(), 5u);
    std::vector<std::string> codes;
    for (const Status* status : requests[2].statusesFor("Add")) codes.push_back(status->data());
    EXPECT_EQ(codes, (std::vector<std::string>{"201", "201", "200", "200", "200"}));
    EXPECT_EQ(f.items.at("9000"), vcard("J2"));
    EXPECT_EQ(f.items.at("5"), vcard("E"));
    EXPECT_EQ(f.acknowledged, (std::vector<std::string>{"5", "6", "9000"}))
        << "9001 stays new for the next session";
    EXPECT_EQ(f.groupsCommitted, 1) << "one durable step for the message";
    EXPECT_TRUE(f.pendingMaps.empty());
}

// The device store does not keep a message's writes, or cannot even begin them (another process
// holds the database): the statuses and Maps that would claim them never leave, and the session
// ends without anchors, so the next one repeats the work.
TEST(SyncClientSession, AMessageWhoseWritesAreNotKeptEndsTheSessionUnanswered) {
    for (const bool atTheStart : {false, true}) {
        Session s;
        TinyFolder& f = s.contacts();
        f.storedAnchor = kStoredAnchor;
        f.items["77"] = vcard("kept");
        (atTheStart ? f.failBegin : f.failCommit) = true;
        const SyncResult result = s.run([](int index, const ClientMessage& request, ServerReply& reply) {
            reply.acceptAll();
            if (hasFolderAlert(request)) return answerAlerts(request, reply);
            if (index != 2) return;
            reply.final = false;
            reply.openSync("Contacts", "./contacts");
            reply.command(CommandKind::Add, itemCommand(element_type::Add, "a1", {{"s1", vcard("A")}}, false));
            reply.command(CommandKind::Delete, itemCommand(element_type::Delete, "d1", {{"77", ""}}, true));
            reply.closeSync();
        });
        EXPECT_EQ(result, SyncResult::SyncFailed) << atTheStart;
        EXPECT_EQ(s.server->requests.size(), 2u) << atTheStart;
        EXPECT_EQ(f.items, (std::map<std::string, std::string>{{"77", vcard("kept")}})) << atTheStart;
        EXPECT_TRUE(f.pendingMaps.empty());
        EXPECT_TRUE(f.savedAnchors.empty());
    }
}

}  // namespace
}  // namespace orvale::test
