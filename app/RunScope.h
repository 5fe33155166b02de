#pragma once
// What every run and server test holds while it works: the process-wide record made current, the
// message capture of "LastSession" prepared and current. Both stop being current when it ends.
#include "transport/MessageCapture.h"

namespace orvale {

class ConfigRecord;

class CaptureScope {
  public:
    CaptureScope();
    ~CaptureScope();
    CaptureScope(const CaptureScope&) = delete;
    CaptureScope& operator=(const CaptureScope&) = delete;

  private:
    MessageCapture capture_;
};

class CurrentConfigScope {
  public:
    explicit CurrentConfigScope(ConfigRecord& record);
    ~CurrentConfigScope();
    CurrentConfigScope(const CurrentConfigScope&) = delete;
    CurrentConfigScope& operator=(const CurrentConfigScope&) = delete;

  private:
    ConfigRecord* previous_;
};

}  // namespace orvale
