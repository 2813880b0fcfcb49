// SHA-256 of a file's content, through the system's cryptography provider.
#pragma once

#include <optional>
#include <string>

// Lower-case hex digest of the file at path (active code page); nullopt when it cannot be read.
std::optional<std::string> FileSha256(const std::string& path);
