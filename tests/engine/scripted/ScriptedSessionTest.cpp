#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "scripted/CaseFile.h"
#include "scripted/ScriptedSession.h"
#include "support/TempDeviceRoot.h"

namespace orvale::test {
namespace {

const std::filesystem::path kCases = std::filesystem::path(ORVALE_TEST_DATA) / "engine" / "scripted";

std::vector<std::string> caseFiles() {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(kCases, ec))
        if (e.path().extension() == ".case") out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

// A case whose setup says "disabled REASON" is registered under a DISABLED_ name.
std::string testName(const std::string& path) {
    std::string error;
    const CaseFile c = readCaseFile(path, error);
    std::string name = c.name;
    std::replace_if(name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
    for (const auto& line : c.setup)
        if (line.rfind("disabled", 0) == 0) return "DISABLED_" + name;
    return name;
}

class ScriptedSessionCase : public ::testing::TestWithParam<std::string> {};

TEST_P(ScriptedSessionCase, ClientMessagesAndOutcomeAsScripted) {
    std::string error;
    const CaseFile c = readCaseFile(GetParam(), error);
    ASSERT_TRUE(error.empty()) << GetParam() << ": " << error;
    TempDeviceRoot root;
    ScriptedSession s;
    ASSERT_TRUE(s.prepare(c, error)) << error;
    s.run();
    // ORVALE_SCRIPT_DUMP=1 prints what the client sent, for writing the expectations of a new case.
    if (std::getenv("ORVALE_SCRIPT_DUMP") != nullptr)
        for (const auto& r : s.transport->requests()) std::cout << "sent to " << r.url << ":\n" << r.xml << "\n";
    for (const auto& p : s.transport->problems()) ADD_FAILURE() << "script: " << p;
    for (const auto& [n, xml] : c.clientXml) {
        const std::string d = checkClientMessage(n, xml, s);
        EXPECT_TRUE(d.empty()) << d;
    }
    for (const std::string& line : c.expect) {
        const std::string d = checkExpectation(line, s);
        EXPECT_TRUE(d.empty()) << line << " -> " << d;
    }
    if (!s.otherException.empty()) ADD_FAILURE() << "exception: " << s.otherException;
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptedSessionCase, ::testing::ValuesIn(caseFiles()),
                         [](const ::testing::TestParamInfo<std::string>& p) { return testName(p.param); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ScriptedSessionCase);

}  // namespace
}  // namespace orvale::test
