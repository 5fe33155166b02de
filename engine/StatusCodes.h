#pragma once
// The status codes of the protocol as the engine sends and reads them.

namespace orvale {

inline constexpr int kStatusOk = 200;
inline constexpr int kStatusItemAdded = 201;
inline constexpr int kStatusDeletedWithoutArchive = 210;
inline constexpr int kStatusItemNotDeleted = 211;
inline constexpr int kStatusAuthenticationAccepted = 212;
// Statuses of the chunks of a received large object.
inline constexpr int kStatusChunkKept = 213;
inline constexpr int kStatusBadRequest = 400;
inline constexpr int kStatusInvalidCredentials = 401;
inline constexpr int kStatusNotFound = 404;
inline constexpr int kStatusCommandNotAllowed = 405;
inline constexpr int kStatusOptionalFeatureNotSupported = 406;
inline constexpr int kStatusMissingCredentials = 407;
inline constexpr int kStatusSizeRequired = 411;
inline constexpr int kStatusSizeTooBig = 416;
inline constexpr int kStatusConflictServerWins = 419;
inline constexpr int kStatusSizeMismatch = 424;
inline constexpr int kStatusCommandFailed = 500;
inline constexpr int kStatusServiceUnavailable = 503;
inline constexpr int kStatusRefreshRequired = 508;
inline constexpr int kStatusDataStoreFailure = 510;

// The server accepted our header: for this message (200) or for the whole session (212).
inline bool headerAccepted(int code) { return code == kStatusOk || code == kStatusAuthenticationAccepted; }
// The server wants (other) credentials.
inline bool credentialsRefused(int code) { return code == kStatusInvalidCredentials || code == kStatusMissingCredentials; }

}  // namespace orvale
