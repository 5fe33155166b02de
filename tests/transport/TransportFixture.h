#pragma once
// A fresh device root with the capture on, a transport as the sync run builds it, and no proxy or
// private CA leaking in from the environment the tests run in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/TempDeviceRoot.h"
#include "transport/HttpTransport.h"
#include "transport/MessageCapture.h"

namespace orvale::test {

class TransportFixture : public ::testing::Test {
protected:
    TransportFixture() {
        for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "HTTPS_PROXY", "ALL_PROXY",
                                 "ORVALE_CA_FILE"}) {
            unsetenv(name);
        }
        setenv("no_proxy", "", 1);
        capture.prepare();
        MessageCapture::setCurrent(&capture);
    }

    std::string captured(const std::string& name) const {
        return readFileBytes(capture.hostFolder() / name);
    }
    bool isCaptured(const std::string& name) const {
        return std::filesystem::exists(capture.hostFolder() / name);
    }

    TempDeviceRoot root;
    MessageCapture capture{MessageCapture::kLastSessionPath};
    HttpTransport transport{ProxyDescriptor{}, ContentType("application/vnd.syncml+wbxml")};
};

}  // namespace orvale::test
