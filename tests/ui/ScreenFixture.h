#pragma once
// A fresh device root, a scripted engine in place of the server and a recording scheduler: what
// the screen tests give the screens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "app/ConfigRecord.h"
#include "stores/KindRegistry.h"
#include "support/RecordingScheduler.h"
#include "support/RunDoubles.h"
#include "support/ScreenKit.h"
#include "support/TempDeviceRoot.h"
#include "ui/ScreenContext.h"

namespace orvale::test {

class ScreenFixture : public ::testing::Test {
  protected:
    ScreenFixture() {
        for (int code : {kKindContacts, kKindCalendar, kKindTasks}) registerKind(code, {});
        registerKind(kKindContacts, [] { return new StubKind("WinMobileContacts"); });
        context.runs = scriptedEnvironment(script);
        context.scheduler = &scheduler;
        // An installation as background sync needs one: the main program with its Launcher beside it.
        for (const char* program : {"orvale", "orvale-launcher"}) {
            writeFileBytes(root.path() / "install" / program, "#!/bin/sh\n");
            std::filesystem::permissions(root.path() / "install" / program,
                                         std::filesystem::perms::owner_all);
        }
        context.mainProgram = root.path() / "install" / "orvale";
    }
    ~ScreenFixture() override {
        // Nothing of one test may linger into the next.
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        QApplication::processEvents();
    }

    // A record as setup leaves it: the contacts folder chosen, against `url`.
    static ConfigRecord readyRecord(const std::u16string& url = u"http://127.0.0.1:1/sync") {
        ConfigRecord r;
        r.setText(ConfigText::ServerUrl, url);
        r.setText(ConfigText::UserName, u"orvale");
        r.setText(ConfigText::Password, u"secret");
        r.setFlag(ConfigFlag::ContactsEnabled, true);
        r.setText(ConfigText::ContactsUri, u"contacts");
        r.setFlag(ConfigFlag::SetupDone, true);
        return r;
    }

    TempDeviceRoot root;
    SessionScript script;
    RecordingScheduler scheduler;
    ui::ScreenContext context;
};

}  // namespace orvale::test
