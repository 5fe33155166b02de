#include "app/RunScope.h"

#include "app/ConfigRecord.h"

namespace orvale {

CaptureScope::CaptureScope() : capture_(MessageCapture::kLastSessionPath) {
    MessageCapture::setCurrent(&capture_);
    capture_.prepare();
}

CaptureScope::~CaptureScope() { MessageCapture::setCurrent(nullptr); }

CurrentConfigScope::CurrentConfigScope(ConfigRecord& record) : previous_(currentConfig()) {
    setCurrentConfig(&record);
}

CurrentConfigScope::~CurrentConfigScope() { setCurrentConfig(previous_); }

}  // namespace orvale
