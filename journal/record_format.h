// The journal's file format: one record per line, fields separated by tabs. Backslash, tab,
// line feed and carriage return inside a field are escaped, so no text can split or join
// records. Pure text code (UTF-8 in, UTF-8 out).
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Time stamp, log type, category, item type, source, content.
inline constexpr size_t kRecordFieldCount = 6;

std::string EscapeField(std::string_view text);
// Reverses EscapeField. An unknown escape or a backslash at the end is kept as it stands.
std::string UnescapeField(std::string_view text);

// The escaped fields joined by tabs, without a line end.
std::string FormatRecordLine(const std::vector<std::string>& fields);
// Splits one line (a trailing CR is dropped) at its tabs and unescapes every field.
std::vector<std::string> ParseRecordLine(std::string_view line);

// The record lines of a whole file, oldest first, each without its line end. Lines that do not
// hold exactly kRecordFieldCount fields (a record torn by a crash, stray text) are skipped.
std::vector<std::string> RecordLines(std::string_view fileText);
