#pragma once
// Pictures named by an HTTP address in a received vCard are fetched through the program's transport.
#include "stores/contacts/ContactPicture.h"

namespace orvale::contacts {

PictureFetcher httpPictureFetcher();

}  // namespace orvale::contacts
