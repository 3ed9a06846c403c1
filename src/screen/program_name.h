#pragma once
// The running executable: its path, and the name the program goes by (the executable file's base
// name without the extension). The window takes the name as its title and messages on stderr
// begin with it; the word dump goes to the executable's directory.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ws {

// "/usr/bin/wortsammler.exe" -> "wortsammler"; a leading dot does not start an extension
// (".hidden" stays ".hidden"), and only the last extension is dropped ("a.b.c" -> "a.b").
std::string baseNameWithoutExtension(std::string_view path);

// The running executable's path (Linux: /proc/self/exe, Windows: GetModuleFileNameW); nullopt
// when it cannot be read.
std::optional<std::filesystem::path> executablePath();

// The base name of the running executable (from executablePath(), else from how it was invoked).
std::string programName();

}  // namespace ws
