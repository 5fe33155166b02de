// Until the appointment and task mapping is in, the EDS store keeps contacts only.
#include "platform/pim/eds/EdsFolder.h"

namespace orvale::platform::pim::eds {

std::unique_ptr<Folder> openCalendarFolder(int, const std::string&, std::string* why) {
    if (why != nullptr) *why = "calendar and tasks are not kept in Evolution Data Server by this build";
    return nullptr;
}

}  // namespace orvale::platform::pim::eds
