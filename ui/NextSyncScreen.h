#pragma once
// The choice of what the next sync does, opened from Settings: each way with one line on what it
// does. The two that delete are asked about first, and a refresh from an empty device folder a
// second time (it would empty the server's folder). Choosing changes nothing yet: Settings keeps
// the choice until it is saved with Done.
#include <QRadioButton>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "stores/SyncMode.h"
#include "ui/ScreenDialog.h"

namespace orvale::ui {

// A mode's name as the screens give it.
QString syncModeText(SyncMode mode);

class NextSyncScreen : public ScreenDialog {
  public:
    using ItemCounter = std::function<std::optional<std::size_t>(int kindCode)>;
    // `kinds`: the folders the choice is for (kind codes); `countItems` tells how many items the
    // device holds in one (none when it cannot tell).
    NextSyncScreen(SyncMode current, std::vector<int> kinds, ItemCounter countItems, QWidget* parent = nullptr);

    SyncMode mode() const;

  protected:
    void rightKey() override;

  private:
    // False when the user declined.
    bool confirmed(SyncMode mode);

    std::vector<int> kinds_;
    ItemCounter countItems_;
    std::vector<std::pair<SyncMode, QRadioButton*>> options_;
};

}  // namespace orvale::ui
