#pragma once
// A scripted session in one file. Sections, each opened by a line "--- name ---":
//   setup          one statement per line: the folders, the stores' content, the session data
//   client N       the client's message N as expected (XML; "*" any text, "..." any content)
//   server N       the server's reply to message N (XML, with the placeholders of
//                  ReplyPlaceholders.h); "server N-M" repeats it for N..M
//   server N bytes the reply as raw bytes: the section text, "(empty)" or "(repeat BYTE COUNT)"
//   server N fail S the exchange fails with HTTP status S
//   expect         one check per line (results, session data, store state, observer, messages)
// Lines starting with "#" are comments everywhere.
#include <map>
#include <string>
#include <vector>

#include "scripted/ScriptedTransport.h"

namespace orvale::test {

inline constexpr const char* kScriptDeviceId = "IMEI:00112233445566778899AA";
inline constexpr const char* kScriptServerUrl = "http://sync.example.com/sync";

struct CaseFile {
    std::string name;
    std::vector<std::string> setup;
    std::map<int, std::string> clientXml;
    std::vector<ScriptedReply> replies;
    std::vector<std::string> expect;
};

// Empty `error` on success.
CaseFile readCaseFile(const std::string& path, std::string& error);

// A server reply as libwbxml2 is given it: declaration and document type added when missing, the
// SyncML namespace on the root, "<SyncHdr/>" as the server's usual header and "{HdrStatus N}" as
// the Status N for the client's SyncHdr.
std::string expandServerXml(const std::string& xml);

// "\n" in a one-line text of the setup or checks stands for CR LF.
std::string unescapeLine(const std::string& text);

}  // namespace orvale::test
