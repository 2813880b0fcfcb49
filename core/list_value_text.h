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
// longer item is left alone), its items joined again: a single separator between two items is
// kept, a longer run becomes one ",", so no empty item stands between two items; leading
// separators go, and a trailing separator the value had is kept (as "," when it held a comma).
std::string CutListItem(std::string_view value, std::string_view item);

// The value with item appended after a ",": leading separators removed, a trailing separator the
// value had kept after the new item ("userinit.exe," gives "userinit.exe,x.exe,"). An empty item
// leaves the value as it is.
std::string AppendListItem(std::string_view value, std::string_view item);

// True when the item's file name is userinit.exe (any path, any letter case, possibly quoted):
// the program Windows cannot log anyone on without.
bool IsUserinitProgram(std::string_view item);

// True when the value holds at least one non-empty item.
bool HasListItems(std::string_view value);
