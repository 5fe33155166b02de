#pragma once
// Writes records by their element templates into an encoder sink.
#include "syncml/RecordLayout.h"
#include "syncml/codec/EncoderSink.h"

namespace orvale {

// The element of `layout` (open tag `tag`, or the layout's own tag when tag::None), its fields, its end.
ToolkitCode writeRecord(EncoderSink& sink, const RecordLayout& layout, const void* record, TagId tag = tag::None);
// Only the fields, in template order (a MetInf extension has no element of its own).
ToolkitCode writeFields(EncoderSink& sink, const RecordLayout& layout, const void* record);

}  // namespace orvale
