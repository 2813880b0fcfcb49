// The text rules of list values (Load, Run, Userinit): a value holds several programs separated
// by spaces and commas. Pure text, byte-wise: in every code page the program runs with, a space
// or a comma is never part of a multi-byte character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// True for the two item separators, ' ' and ','.
bool IsListSeparator(char c);

// The items of a value, in order; every separator ends an item, so two separators in a row, a
// leading or trailing separator and an empty value each give an empty item.
std::vector<std::string> SplitListItems(std::string_view value);

// The value without every whole-item occurrence of item (case-sensitive; text of item inside a
// longer item is left alone), then with its separators tidied: "  " -> ",", ",," -> ",",
// ", " -> ",", " ," -> ",", each a single pass, and leading and trailing separators removed.
std::string CutListItem(std::string_view value, std::string_view item);

// value + "," + item, without leading and trailing separators.
std::string AppendListItem(std::string_view value, std::string_view item);
