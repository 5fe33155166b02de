#pragma once
// The character-level rules of the line syntax: splitting at unescaped separators, backslash escapes
// and quoted-printable.
#include <string>
#include <string_view>
#include <vector>

namespace orvale::versit_text {

// Splits at every separator that is not escaped by a backslash. A backslash escapes the character
// after it, so "a\;b" is one piece and "a\\;b" two. Escapes stay in the pieces; the text after the
// last separator is the last piece (possibly empty), so a text without separator is one piece.
std::vector<std::string_view> splitUnescaped(std::string_view text, char separator);
// Position of the first unescaped separator, or npos.
std::size_t findUnescaped(std::string_view text, char separator);

// "\n", "\N" and "\r\n" become CR LF, "\r" CR, a backslash before any other character is dropped,
// a trailing backslash stays.
std::string unescape(std::string_view text);
// Appends the escaped value: CR LF and LF as "\n", a lone CR as "\r"; ";", ",", "\" and ":" get a
// backslash.
void appendEscaped(std::string& out, std::string_view value);

// "=XX" with two hexadecimal digits of a value other than 0 becomes that byte; anything else stays.
std::string decodeQuotedPrintable(std::string_view text);
// True for the bytes quoted-printable must encode: controls other than tab, "=", and bytes >= 0x7F.
bool needsQuotedPrintable(unsigned char byte);
bool needsQuotedPrintable(std::string_view value);
// Appends the value quoted-printable-encoded and then escaped (the order the reader undoes).
void appendQuotedPrintableEscaped(std::string& out, std::string_view value);

std::string toUpperAscii(std::string_view text);
// Names of components ("vcard", "VCard") compared as the ASCII letters they are, ignoring case.
bool equalsIgnoringCaseAscii(std::string_view a, std::string_view b);

}  // namespace orvale::versit_text
