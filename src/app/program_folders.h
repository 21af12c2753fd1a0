#pragma once
// The three folders the program works with. Every path ends with "/".

#include <string>

namespace velmora {

struct ProgramFolders {
    std::string work;    // holds the preference file
    std::string temp;    // private per-user folder for the working files
    std::string program; // folder of the running executable
};

// Work folder: $XDG_CONFIG_HOME/Velmora/ (default ~/.config/Velmora/), created one level deep.
// Without a usable home the relative "Velmora/" is used, as the program always has.
std::string workFolderPath();
bool createWorkFolder(const std::string& workFolder);

// Temp folder: ${TMPDIR:-/tmp}/velmora-<uid>/ with mode 0700. In a shared /tmp another user could
// have planted a symlink or a folder of their own under that name to read or replace our files,
// so such a folder is refused: the result then is empty and error names the reason.
std::string privateTempFolder(std::string& error);

// Program folder: the folder of /proc/self/exe.
std::string programFolderPath();

// A path as the windows show it, in Windows-1252: Linux paths are UTF-8, Windows ones already
// are.
std::string pathForDisplay(const std::string& path);

} // namespace velmora
