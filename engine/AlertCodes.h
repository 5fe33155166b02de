#pragma once
// The Alert codes the engine sends and reads.

namespace orvale {

inline constexpr int kAlertTwoWay = 200;
inline constexpr int kAlertSlowSync = 201;
inline constexpr int kAlertOneWayFromClient = 202;
inline constexpr int kAlertRefreshFromClient = 203;
inline constexpr int kAlertOneWayFromServer = 204;
inline constexpr int kAlertRefreshFromServer = 205;
// The server demands a sync type: 206 two-way ... 210 refresh from server, in the order of 200
// and 202-205.
inline constexpr int kAlertTwoWayByServer = 206;
inline constexpr int kAlertRefreshFromServerByServer = 210;
// The other side is asked for its next message.
inline constexpr int kAlertNextMessage = 222;
// A large object was not completed.
inline constexpr int kAlertNoEndOfData = 223;

}  // namespace orvale
