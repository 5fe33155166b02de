#pragma once
// The anchor exception lives with the stores; kept so engine code may include it here.
#include "stores/SyncAnchorException.h"
