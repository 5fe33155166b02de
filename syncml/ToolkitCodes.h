#pragma once
// Result codes of every toolkit, encoder and decoder operation; 0 is success.
#include <cstdint>

namespace orvale {

using ToolkitCode = std::uint32_t;

namespace code {
inline constexpr ToolkitCode Ok = 0x0000;
inline constexpr ToolkitCode UnsupportedProcessingInstruction = 0x0010;
inline constexpr ToolkitCode OutOfMemory = 0x0011;
inline constexpr ToolkitCode WrongUsage = 0x0013;
inline constexpr ToolkitCode UnknownInstance = 0x1002;
inline constexpr ToolkitCode CallbackMissing = 0x1003;
inline constexpr ToolkitCode MissingElement = 0x2001;
inline constexpr ToolkitCode BufferFull = 0x2002;
inline constexpr ToolkitCode InvalidPcdata = 0x2003;
inline constexpr ToolkitCode InvalidList = 0x2004;
inline constexpr ToolkitCode InvalidTag = 0x2005;
inline constexpr ToolkitCode UnknownEncoding = 0x2007;
inline constexpr ToolkitCode UnknownTag = 0x2008;
inline constexpr ToolkitCode UnsupportedWbxmlVersion = 0x200A;
inline constexpr ToolkitCode NotSyncml = 0x200B;
inline constexpr ToolkitCode InvalidInputPcdata = 0x200C;
inline constexpr ToolkitCode StringTableOffset = 0x200E;
inline constexpr ToolkitCode GlobalTokenUnavailable = 0x200F;
inline constexpr ToolkitCode UnknownNamespace = 0x2011;
inline constexpr ToolkitCode EndOfData = 0x2012;
inline constexpr ToolkitCode MalformedXml = 0x2013;
inline constexpr ToolkitCode UnknownExtension = 0x2016;
inline constexpr ToolkitCode PrefixMismatch = 0x2017;
inline constexpr ToolkitCode InvalidDevInfEntry = 0x2018;
}  // namespace code

}  // namespace orvale
