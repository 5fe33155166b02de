#include <algorithm>
#include <sstream>

#include "scripted/ScriptedSession.h"
#include "scripted/XmlTree.h"

namespace orvale::test {
namespace {

std::string restOf(std::istringstream& in) {
    std::string rest;
    std::getline(in, rest);
    const auto b = rest.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : rest.substr(b);
}

int kindCode(const std::string& name) { return name == "Contacts" ? 1 : name == "Calendar" ? 2 : name == "Tasks" ? 4 : -1; }

int observedKind(const std::string& word) {
    if (word == "add") return kObservedAdd;
    if (word == "delete") return kObservedDelete;
    if (word == "replace") return kObservedReplace;
    if (word == "folder") return kObservedFolder;
    return -1;
}

std::unique_ptr<XmlNode> clientTree(const ScriptedSession& s, int n, std::string& error) {
    const auto& reqs = s.transport->requests();
    if (n < 1 || static_cast<std::size_t>(n) > reqs.size()) {
        error = "the client sent " + std::to_string(reqs.size()) + " messages, no message " + std::to_string(n);
        return nullptr;
    }
    const std::string& xml = reqs[static_cast<std::size_t>(n - 1)].xml;
    if (xml.empty()) {
        error = "message " + std::to_string(n) + " is not WBXML libwbxml2 can read";
        return nullptr;
    }
    auto tree = parseXml(xml, error);
    if (!tree) error = "message " + std::to_string(n) + ": " + error;
    return tree;
}

std::size_t countIn(const XmlNode& tree, const std::string& element) {
    std::vector<const XmlNode*> found;
    tree.collect(element, found);
    return found.size();
}

std::string mismatch(const std::string& what, const std::string& got) { return what + ": got " + got; }

std::string checkSession(std::istringstream& in, const ScriptedSession& s) {
    std::string key, value;
    in >> key >> value;
    if (value == "-") return s.sessionData->has(key) ? mismatch(key + " absent", s.sessionData->getString(key)) : "";
    if (!s.sessionData->has(key)) return key + " " + value + ": not stored";
    return s.sessionData->getString(key) == value ? "" : mismatch(key + " " + value, s.sessionData->getString(key));
}

std::string checkFolder(const std::string& verb, std::istringstream& in, const ScriptedSession& s) {
    std::string name;
    in >> name;
    const MemoryFolder* f = s.factory->find(kindCode(name));
    if (f == nullptr) return "no folder " + name;
    if (verb == "item") {
        std::string key;
        in >> key;
        const std::string text = unescapeLine(restOf(in));
        const auto it = f->items.find(key);
        if (it == f->items.end()) return name + " has no item " + key;
        return it->second == text ? "" : mismatch(name + " item " + key, it->second);
    }
    if (verb == "noitem") {
        std::string key;
        in >> key;
        return f->items.count(key) == 0 ? "" : name + " still has item " + key;
    }
    if (verb == "items") {
        std::size_t n = 0;
        in >> n;
        return f->items.size() == n ? "" : mismatch(name + " items", std::to_string(f->items.size()));
    }
    if (verb == "acknowledged") {
        std::vector<std::string> want;
        for (std::string k; in >> k;) want.push_back(k);
        std::string got;
        for (const auto& k : f->acknowledged) got += k + " ";
        return want == f->acknowledged ? "" : mismatch("acknowledged", got);
    }
    if (verb == "calls") {  // the named calls, in this order, among all calls
        std::size_t at = 0;
        for (std::string c; in >> c;) {
            std::replace(c.begin(), c.end(), '_', ' ');
            const auto it = std::find(f->calls.begin() + static_cast<std::ptrdiff_t>(at), f->calls.end(), c);
            if (it == f->calls.end()) {
                std::string got;
                for (const auto& x : f->calls) got += x + ", ";
                return mismatch("call " + c + " in order", got);
            }
            at = static_cast<std::size_t>(it - f->calls.begin()) + 1;
        }
        return "";
    }
    if (verb == "nocall") {
        std::string c = restOf(in);
        return std::find(f->calls.begin(), f->calls.end(), c) == f->calls.end() ? "" : name + " was called " + c;
    }
    if (verb == "anchor-remote") {  // the last saved anchor carries the server's label
        std::string want;
        in >> want;
        if (f->savedAnchors.empty()) return name + " saved no anchor";
        const std::string& got = f->savedAnchors.back().getRemoteLabel();
        return got == want ? "" : mismatch(name + " saved remote label", got);
    }
    if (verb == "anchors-saved") {
        std::size_t n = 0;
        in >> n;
        return f->savedAnchors.size() == n ? "" : mismatch("anchors saved", std::to_string(f->savedAnchors.size()));
    }
    return "unknown check " + verb;
}

std::string checkObserved(std::istringstream& in, const ScriptedSession& s) {
    // observed SIDE FOLDER KIND ok|failed COUNT
    std::string side, folder, kind, outcome;
    std::size_t want = 0;
    in >> side >> folder >> kind >> outcome >> want;
    const SyncSide sd = side == "server" ? SyncSide::Server : SyncSide::Client;
    const auto n = static_cast<std::size_t>(std::count_if(s.observer.items.begin(), s.observer.items.end(), [&](const ObservedItem& i) {
        return i.side == sd && i.folder == folder && i.kind == observedKind(kind) && i.failed == (outcome == "failed");
    }));
    return n == want ? "" : mismatch("observed " + side + " " + folder + " " + kind + " " + outcome, std::to_string(n));
}

std::string checkMessages(const std::string& verb, std::istringstream& in, const ScriptedSession& s) {
    std::string error;
    if (verb == "count") {  // count N ELEMENT K
        int n = 0;
        std::string element;
        std::size_t want = 0;
        in >> n >> element >> want;
        auto tree = clientTree(s, n, error);
        if (!tree) return error;
        const std::size_t got = countIn(*tree, element);
        return got == want ? "" : mismatch("message " + std::to_string(n) + " " + element + " count", std::to_string(got));
    }
    if (verb == "status") {  // status N CMD CODE [COUNT]: Statuses of message N answering CMD with CODE
        int n = 0;
        std::string cmd, code;
        std::size_t want = 1;
        in >> n >> cmd >> code;
        if (!(in >> want)) want = 1;
        auto tree = clientTree(s, n, error);
        if (!tree) return error;
        std::vector<const XmlNode*> statuses;
        tree->collect("Status", statuses);
        std::size_t got = 0;
        std::string seen;
        for (const XmlNode* st : statuses) {
            seen += st->textAt("Cmd").value_or("?") + "=" + st->textAt("Data").value_or("?") + " ";
            if (st->textAt("Cmd") == cmd && st->textAt("Data") == code) ++got;
        }
        return got == want ? "" : mismatch("message " + std::to_string(n) + " Status " + cmd + " " + code, seen);
    }
    if (verb == "none") {  // none ELEMENT from N
        std::string element, from;
        int n = 0;
        in >> element >> from >> n;
        for (int m = n; m <= static_cast<int>(s.transport->requests().size()); ++m) {
            auto tree = clientTree(s, m, error);
            if (!tree) return error;
            if (countIn(*tree, element) != 0) return "message " + std::to_string(m) + " has " + element;
        }
        return "";
    }
    if (verb == "text") {
        const std::string want = restOf(in);
        for (const auto& t : s.observer.texts)
            if (t.find(want) != std::string::npos) return "";
        std::string got;
        for (const auto& t : s.observer.texts) got += "\"" + t + "\" ";
        return mismatch("observer text \"" + want + "\"", got);
    }
    if (verb == "notext") {
        const std::string want = restOf(in);
        for (const auto& t : s.observer.texts)
            if (t.find(want) != std::string::npos) return "observer text \"" + t + "\"";
        return "";
    }
    if (verb == "bytes") {  // bytes N TEXT: the WBXML of message N holds TEXT
        int n = 0;
        in >> n;
        const std::string want = restOf(in);
        const auto& reqs = s.transport->requests();
        if (n < 1 || static_cast<std::size_t>(n) > reqs.size()) return "no message " + std::to_string(n);
        return reqs[static_cast<std::size_t>(n - 1)].wbxml.find(want) != std::string::npos ? "" : "message " + std::to_string(n) + " lacks " + want;
    }
    if (verb == "url") {  // url N URL: where message N was posted
        int n = 0;
        std::string want;
        in >> n >> want;
        const auto& reqs = s.transport->requests();
        if (n < 1 || static_cast<std::size_t>(n) > reqs.size()) return "no message " + std::to_string(n);
        const std::string& got = reqs[static_cast<std::size_t>(n - 1)].url;
        return got == want ? "" : mismatch("message " + std::to_string(n) + " url", got);
    }
    if (verb == "event") {  // event CODE [TIMES]: the observer heard it (exactly TIMES times; 0: never)
        int code = 0;
        in >> code;
        const auto heard = std::count(s.observer.events.begin(), s.observer.events.end(), code);
        long times = -1;
        if (in >> times)
            return heard == times ? "" : "event " + std::to_string(code) + " heard " + std::to_string(heard) + " times";
        return heard > 0 ? "" : "no event " + std::to_string(code);
    }
    if (verb == "maxsize") {  // maxsize BYTES [from N]: no client message (from message N on) is larger
        std::size_t limit = 0, from = 1;
        std::string word;
        in >> limit;
        if (in >> word && !(in >> from)) from = 1;
        if (from == 0) from = 1;
        const auto& reqs = s.transport->requests();
        for (std::size_t i = from - 1; i < reqs.size(); ++i)
            if (reqs[i].wbxml.size() > limit)
                return "message " + std::to_string(i + 1) + " has " + std::to_string(reqs[i].wbxml.size()) + " bytes";
        return "";
    }
    if (verb == "total") {  // total ELEMENT K: over all client messages
        std::string element;
        std::size_t want = 0, got = 0;
        in >> element >> want;
        for (int m = 1; m <= static_cast<int>(s.transport->requests().size()); ++m) {
            auto tree = clientTree(s, m, error);
            if (!tree) return error;
            got += countIn(*tree, element);
        }
        return got == want ? "" : mismatch("total " + element, std::to_string(got));
    }
    if (verb == "remote-man") {
        const std::string want = restOf(in);
        return s.remote.device.man == want ? "" : mismatch("server Man", s.remote.device.man);
    }
    if (verb == "remote-stores") {  // remote-stores SOURCEREF...
        std::string want, got;
        for (std::string r; in >> r;) want += r + " ";
        for (const auto& d : s.remote.dataStores) got += d.sourceRef + " ";
        return want == got ? "" : mismatch("server stores", got);
    }
    if (verb == "syncstart") {
        const std::string want = restOf(in);
        return std::find(s.observer.syncStarts.begin(), s.observer.syncStarts.end(), want) != s.observer.syncStarts.end()
                   ? ""
                   : "no sync start \"" + want + "\"";
    }
    return "unknown check " + verb;
}

}  // namespace

std::string checkExpectation(const std::string& line, const ScriptedSession& s) {
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    if (verb == "result") {
        int want = 0;
        in >> want;
        if (!s.result) return "no result (exception " + (s.exceptionCode ? std::to_string(*s.exceptionCode) : s.otherException) + ")";
        return *s.result == want ? "" : mismatch("result", std::to_string(*s.result));
    }
    if (verb == "throws") {  // throws CODE SUBCODE [DETAIL]
        std::uint32_t code = 0, sub = 0;
        std::int32_t detail = -1;
        in >> code >> sub;
        const bool withDetail = static_cast<bool>(in >> detail);
        if (!s.exceptionCode) return "no exception; result " + (s.result ? std::to_string(*s.result) : s.otherException);
        const std::string got = std::to_string(*s.exceptionCode) + " " + std::to_string(*s.exceptionSubCode) + " " +
                                std::to_string(*s.exceptionDetail);
        return *s.exceptionCode == code && *s.exceptionSubCode == sub && (!withDetail || *s.exceptionDetail == detail)
                   ? ""
                   : mismatch("exception", got);
    }
    if (verb == "exchanges") {
        std::size_t want = 0;
        in >> want;
        const std::size_t got = s.transport->requests().size();
        return got == want ? "" : mismatch("exchanges", std::to_string(got));
    }
    if (verb == "session") return checkSession(in, s);
    if (verb == "observed") return checkObserved(in, s);
    if (verb == "item" || verb == "noitem" || verb == "items" || verb == "acknowledged" || verb == "calls" ||
        verb == "nocall" || verb == "anchors-saved" || verb == "anchor-remote")
        return checkFolder(verb, in, s);
    return checkMessages(verb, in, s);
}

std::string checkClientMessage(int n, const std::string& expectedXml, const ScriptedSession& s) {
    std::string error;
    auto want = parseXml(expectedXml, error);
    if (!want) return "expected message " + std::to_string(n) + ": " + error;
    auto got = clientTree(s, n, error);
    if (!got) return error;
    const std::string d = compareXml(*want, *got);
    return d.empty() ? d : "message " + std::to_string(n) + " " + d + "\n  sent: " + toXml(*got);
}

}  // namespace orvale::test
