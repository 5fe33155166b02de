#pragma once
// The first-use walk through the setup pages: credentials, server test, folder URIs, folders.
#include "app/ConfigRecord.h"
#include "ui/ScreenContext.h"

namespace orvale::ui {

class MainScreen;

// Runs the pages over `owner` until the folders page is done (setup-done set, background sync armed
// when it was chosen) or the credentials page is cancelled. The record is not saved here. False
// when cancelled, or when the owner is closed meanwhile.
bool runSetupPages(MainScreen& owner, ConfigRecord& record, ScreenContext& context);

}  // namespace orvale::ui
