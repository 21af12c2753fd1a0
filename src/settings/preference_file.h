#pragma once
// One open preference file: read whole when opened, looked up and updated in memory, written back
// whole when closed, and only when something was written. One object per load or save; it
// belongs to the thread that uses it.

#include "settings/preference_document.h"
#include "settings/stored_file.h"

#include <string>
#include <string_view>

namespace velmora {

enum class CloseResult {
    Unchanged,   // nothing was written, the file was not touched
    Written,     // the file holds the new contents
    NotWritable, // the file allows reading only: left as it was, silently
    WriteFailed, // the write-back failed: the file keeps its old contents
};

class PreferenceFile {
public:
    PreferenceFile() = default;
    ~PreferenceFile() { close(); }
    PreferenceFile(const PreferenceFile&) = delete;
    PreferenceFile& operator=(const PreferenceFile&) = delete;

    // Closes any open file first. Opens the existing file (for reading only when writing is not
    // allowed) and reads its entries. False when it cannot be opened: lookups give defaults.
    bool open(const std::string& fileName);
    // Closes any open file first. Creates the file (mode 0600) or takes the existing one as
    // empty: its entries are not read, and the next write-back replaces its contents.
    bool create(const std::string& fileName);

    bool isOpen() const { return file_.isOpen(); }
    bool isReadOnly() const { return file_.isReadOnly(); }

    // See PreferenceDocument. readText gives defaultText when no file is open; writeText does
    // nothing then, as there would be nowhere to write it.
    std::string readText(std::string_view key, std::string_view defaultText) const;
    void writeText(std::string_view key, std::string_view value);

    // Writes the entries back if something was written, then releases file and entries.
    CloseResult close();

private:
    StoredFile file_;
    PreferenceDocument document_;
};

} // namespace velmora
