#pragma once
// The Alert codes the engine sends and reads.

namespace orvale {

inline constexpr int kAlertTwoWay = 200;
inline constexpr int kAlertSlowSync = 201;
// The other side is asked for its next message.
inline constexpr int kAlertNextMessage = 222;
// A large object was not completed.
inline constexpr int kAlertNoEndOfData = 223;

}  // namespace orvale
