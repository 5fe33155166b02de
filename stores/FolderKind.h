#pragma once
// The kind of a store over one device folder (contacts, calendar, tasks): its name and preferred
// content type come from the kind table, its stores from the concrete store's opener.
#include "stores/DataStoreKind.h"
#include "stores/KindRegistry.h"

namespace orvale {

class FolderKind final : public DataStoreKind {
public:
    using Opener = DataStore* (*)(DataStoreKind* kind);
    FolderKind(const KindInfo& info, Opener open) : info_(info), open_(open) {}

    std::string kindName() const override { return info_.name; }
    ContentType contentType() const override { return ContentType(info_.mimeType, info_.version); }
    // The engine passes no context; stores of a folder need none.
    DataStore* openStore(void*) override { return open_(this); }

private:
    const KindInfo& info_;
    Opener open_;
};

}  // namespace orvale
