#pragma once
// The name the program goes by: its executable file's base name without the extension. The window
// takes it as its title and messages on stderr begin with it.

#include <string>
#include <string_view>

namespace ws {

// "/usr/bin/wortsammler.exe" -> "wortsammler"; a leading dot does not start an extension
// (".hidden" stays ".hidden"), and only the last extension is dropped ("a.b.c" -> "a.b").
std::string baseNameWithoutExtension(std::string_view path);

// The base name of the running executable (from /proc/self/exe, else from how it was invoked).
std::string programName();

}  // namespace ws
