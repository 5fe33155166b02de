#pragma once
// Internal to the store: the database's tables, and the page cache that reads and batches use.
namespace orvale::platform::pim::detail {

// Creates whichever tables and indexes are missing; run once as the session opens.
extern const char* const kSchema;

// Reads walk the file front to back once per scan, so a large page cache buys little; a small one
// keeps a background run's memory flat. The system's file cache still serves re-reads.
inline constexpr const char* kReadCacheSize = "PRAGMA cache_size=-512;";
// A batch changes pages all over the file (identifiers are spread over the whole range): with the
// small cache of the reads it would write most pages to the log many times before the commit. The
// cache grows only as far as the batch needs, up to this.
inline constexpr const char* kBatchCacheSize = "PRAGMA cache_size=-16384;";

}  // namespace orvale::platform::pim::detail
