// How a record's texts are written into config.xml when XML cannot carry them as they are.
//
// XML 1.0 has no way to hold most control characters (U+0001 to U+001F but tab, line feed and
// carriage return), not even as character references. A record whose path, name or data holds
// one is written in the escaped form: every such byte and every '%' become '%' and two upper-case
// hex digits, and the record carries the mark attribute escaped="1". Records without the mark
// are read exactly as written, so files from before keep their meaning.
#pragma once

#include <string>

// The record attribute that marks the escaped form, and its value.
inline constexpr char kEscapedMark[] = "escaped";
inline constexpr char kEscapedMarkValue[] = "1";

// True when text holds a byte XML cannot carry.
bool NeedsEscapedForm(const std::string& text);
// The escaped form of text.
std::string EscapeRecordText(const std::string& text);
// Reverses EscapeRecordText. A '%' not followed by two hex digits stays as it is, so a damaged
// record still reads.
std::string UnescapeRecordText(const std::string& text);
