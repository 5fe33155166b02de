#pragma once
// The anchor lives with the stores, which read and write it; kept so engine code may include it here.
#include "stores/SyncAnchor.h"
