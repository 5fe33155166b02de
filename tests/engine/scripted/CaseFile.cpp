#include "scripted/CaseFile.h"

#include <filesystem>
#include <sstream>

#include "scripted/ReplyPlaceholders.h"
#include "support/TempDeviceRoot.h"

namespace orvale::test {
namespace {

std::string rawBytes(const std::string& text, std::string& error) {
    std::istringstream in(text);
    std::string word;
    in >> word;
    if (word == "(empty)") return std::string();
    if (word == "(repeat") {
        unsigned byte = 0, count = 0;
        in >> std::hex >> byte >> std::dec >> count;
        if (!in || byte > 255) error = "bad (repeat BYTE COUNT)";
        return std::string(count, static_cast<char>(byte));
    }
    return text;
}

// Opens section `header` ("client 2", "server 3-12 bytes", ...) in `c`; returns what the following
// lines fill, or null for a section whose lines are statements.
struct Section {
    std::string kind;  // setup, client, server, expect
    int first = 0, last = 0;
    std::string mode;  // server: xml, bytes, fail
    std::uint32_t status = 0;
    std::string text;
};

bool parseHeader(const std::string& header, Section& s) {
    std::istringstream in(header);
    in >> s.kind;
    if (s.kind == "setup" || s.kind == "expect") return true;
    std::string range;
    in >> range;
    const auto dash = range.find('-');
    try {
        s.first = std::stoi(range.substr(0, dash));
        s.last = dash == std::string::npos ? s.first : std::stoi(range.substr(dash + 1));
    } catch (...) {
        return false;
    }
    if (s.kind == "client") return s.first == s.last && s.first > 0;
    if (s.kind != "server" || s.first < 1 || s.last < s.first) return false;
    s.mode = "xml";
    in >> s.mode;
    if (s.mode == "fail") in >> s.status;
    return s.mode == "xml" || s.mode == "bytes" || (s.mode == "fail" && s.status != 0);
}

void closeSection(const Section& s, CaseFile& c, std::string& error) {
    if (s.kind == "client") c.clientXml[s.first] = s.text;
    if (s.kind != "server") return;
    if (c.replies.size() < static_cast<std::size_t>(s.last)) c.replies.resize(static_cast<std::size_t>(s.last));
    ScriptedReply r;
    if (s.mode == "fail") {
        r.kind = ScriptedReply::Kind::Failure;
        r.status = s.status;
    } else if (s.mode == "bytes") {
        r.kind = ScriptedReply::Kind::Bytes;
        std::string t = s.text;
        while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
        r.content = rawBytes(t, error);
    } else {
        r.content = expandServerXml(s.text);
    }
    for (int i = s.first; i <= s.last; ++i) c.replies[static_cast<std::size_t>(i - 1)] = r;
}

}  // namespace

CaseFile readCaseFile(const std::string& path, std::string& error) {
    CaseFile c;
    c.name = std::filesystem::path(path).stem().string();
    std::istringstream in(readFileBytes(path));
    std::string line;
    Section s;
    bool open = false;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '#') continue;
        if (line.rfind("--- ", 0) == 0 && line.size() > 8 && line.compare(line.size() - 4, 4, " ---") == 0) {
            if (open) closeSection(s, c, error);
            s = Section{};
            if (!parseHeader(line.substr(4, line.size() - 8), s)) error = "line " + std::to_string(lineNo) + ": bad section";
            open = true;
            continue;
        }
        if (!open) {
            if (!line.empty()) error = "line " + std::to_string(lineNo) + ": text before the first section";
            continue;
        }
        if (s.kind == "setup" || s.kind == "expect") {
            if (line.find_first_not_of(" \t") == std::string::npos) continue;
            (s.kind == "setup" ? c.setup : c.expect).push_back(line);
        } else {
            s.text += line + "\n";
        }
    }
    if (open) closeSection(s, c, error);
    for (std::size_t i = 0; i < c.replies.size() && error.empty(); ++i)
        if (c.replies[i].kind == ScriptedReply::Kind::Xml && c.replies[i].content.empty())
            error = "no reply for message " + std::to_string(i + 1);
    return c;
}

std::string expandServerXml(const std::string& xml) {
    std::string x = xml;
    replaceAll(x, "<SyncHdr/>",
               std::string("<SyncHdr><VerDTD>1.1</VerDTD><VerProto>SyncML/1.1</VerProto><SessionID>{SessionID}</SessionID>"
                           "<MsgID>{MsgID}</MsgID><Target><LocURI>") +
                   kScriptDeviceId + "</LocURI></Target><Source><LocURI>" + kScriptServerUrl +
                   "</LocURI></Source></SyncHdr>");
    for (std::size_t p = x.find("{HdrStatus "); p != std::string::npos; p = x.find("{HdrStatus ", p)) {
        const std::size_t end = x.find('}', p);
        if (end == std::string::npos) break;
        const std::string code = x.substr(p + 11, end - p - 11);
        x.replace(p, end - p + 1,
                  std::string("<Status><CmdID>1</CmdID><MsgRef>{MsgID}</MsgRef><CmdRef>0</CmdRef><Cmd>SyncHdr</Cmd>"
                              "<TargetRef>") +
                      kScriptServerUrl + "</TargetRef><SourceRef>" + kScriptDeviceId + "</SourceRef><Data>" + code +
                      "</Data></Status>");
    }
    replaceAll(x, "<SyncML>", "<SyncML xmlns=\"SYNCML:SYNCML1.1\">");
    if (x.find("<?xml") == std::string::npos)
        x = "<?xml version=\"1.0\"?>\n<!DOCTYPE SyncML PUBLIC \"-//SYNCML//DTD SyncML 1.1//EN\" "
            "\"http://www.syncml.org/docs/syncml_represent_v11_20020213.dtd\">\n" +
            x;
    return x;
}

std::string unescapeLine(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace orvale::test
