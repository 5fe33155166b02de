#include "engine/Folders.h"

namespace orvale {

void Folders::reset(const std::vector<SyncSource>& sources) {
    states_.clear();
    for (const auto& s : sources) states_.push_back(FolderState{s, true, 0, SyncAnchor(), SyncAnchor(), std::nullopt, {}});
}

int Folders::indexByLocalName(const std::string& name) const {
    for (std::size_t i = 0; i < states_.size(); ++i) {
        if (states_[i].active && states_[i].localName() == name) return static_cast<int>(i);
    }
    return -1;
}

SyncContextHolder& Folders::addContext(int folder) {
    contexts_.push_back(std::make_unique<SyncContextHolder>(folder, (*this)[folder].next));
    return *contexts_.back();
}

SyncContextHolder* Folders::contextOf(int folder) const {
    for (const auto& c : contexts_) {
        if (c->folder() == folder) return c.get();
    }
    return nullptr;
}

}  // namespace orvale
