// Texts built from an entry for message boxes and edit fields: long names and command lines cut
// to a readable length, the remove question composed so it always names the entry, and the
// clean-up of what the user typed or picked.
#pragma once

#include <cstddef>
#include <string>

// How much of an entry's name or command line a message shows; longer texts end in "...".
constexpr std::size_t kMessageNameLimit = 120;
constexpr std::size_t kMessageDataLimit = 400;
// Message boxes stop showing text well before 32,000 characters; a whole message stays far below.
constexpr std::size_t kMessageTextLimit = 4000;

// text cut to at most limit bytes, "..." included, at a character boundary of the ANSI code page
// (a double-byte or UTF-8 character is never split). Text within the limit comes back unchanged.
std::string CutForMessage(const std::string& text, std::size_t limit);

// The entry as a message shows it: its name on one line, its command line (or target) on the
// next, each cut to its limit. An empty part is left out.
std::string EntryForMessage(const std::string& name, const std::string& data);

// The remove question: question's one %s takes EntryForMessage. A question without %s (a
// language file that lost it, or no text at all) is followed by the entry after a blank line, so
// the user always sees which entry goes.
std::string RemoveQuestion(const std::string& question, const std::string& name,
                           const std::string& data);

// A path as a command line must carry it: quoted when it holds a blank and is not quoted yet.
std::string QuotedCommandPath(const std::string& path);

// What the user typed into a multi-line field, as one line: line breaks at the ends dropped, each
// run of them inside replaced by one blank.
std::string SingleLine(const std::string& text);
