#pragma once
// The three store kinds by name and code. Concrete stores register a maker for their code so the
// factory hands out their kind without knowing them.
#include <functional>
#include <string>
#include <vector>

#include "stores/KindCode.h"
#include "syncml/ContentType.h"

namespace orvale {

class DataStoreKind;

struct KindInfo {
    const char* name;
    int code;
    const char* folderName;
    const char* mimeType;
    const char* version;
    int folder;
    const char* anchorFile;
    const char* changeDatabase;
};

// In the order contacts, tasks, calendar.
const std::vector<KindInfo>& knownKinds();
const KindInfo* kindInfoByCode(int code);
// First of "Contacts", "Calendar", "Tasks" found in the text (case-sensitive); null when none.
const KindInfo* kindInfoByFolderName(const std::string& text);

using KindMaker = std::function<DataStoreKind*()>;
// Replaces an earlier maker for the same code.
void registerKind(int code, KindMaker maker);
// Registers unless a maker exists for the code already, so a store of the tests' own keeps its place.
void registerDefaultKind(int code, KindMaker maker);
// A new kind object, or null when the code is unknown or nothing is registered for it.
DataStoreKind* makeKind(int code);

}  // namespace orvale
