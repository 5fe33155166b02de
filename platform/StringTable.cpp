#include "platform/StringTable.h"

#include <map>

namespace orvale::platform {

const std::u16string& loadString(int id) {
    static const std::map<int, std::u16string> table = {
        {239, u"Authenticated successfully"},
        {243, u"Synchronized: "},
        {244, u"Syncing..."},
        {245, u"Sync failed"},
        {246, u"Authentication failed"},
        {247, u"Done!"},
        {251, u"Configured Folders"},
        {255, u"Failed to configure folders!"},
        {261, u"Please assign them manually"},
        {277, u"Could not reach the server"},
        {279, u"Orvale is syncing now in background. Please exit and open Orvale later"},
        {281, u"Please choose folder to sync"},
        {284, u"Received"},
        {285, u"Sent"},
        {289, u"Finding server... "},
        {290, u"Starting sync"},
        {292, u"Checking for changes..."},
        {293, u"Finalizing changes..."},
    };
    static const std::u16string empty;
    auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}

}  // namespace orvale::platform
