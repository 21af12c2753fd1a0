#include "settings/preference_file.h"

namespace velmora {

bool PreferenceFile::open(const std::string& fileName)
{
    close();
    std::string contents;
    if (!file_.openExisting(fileName, contents))
        return false;
    document_ = PreferenceDocument(std::move(contents));
    return true;
}

bool PreferenceFile::create(const std::string& fileName)
{
    close();
    return file_.create(fileName);
}

std::string PreferenceFile::readText(std::string_view key, std::string_view defaultText) const
{
    if (!file_.isOpen())
        return std::string(defaultText);
    return document_.readText(key, defaultText);
}

void PreferenceFile::writeText(std::string_view key, std::string_view value)
{
    if (file_.isOpen())
        document_.writeText(key, value);
}

CloseResult PreferenceFile::close()
{
    CloseResult result = CloseResult::Unchanged;
    if (file_.isOpen() && document_.modified()) {
        const std::string text = document_.render();
        // Never write a file that the next open would refuse as too large: it would take every
        // setting with it at the next start. The file keeps its old, still readable contents.
        const ReplaceResult replaced = text.size() > StoredFile::kMaximumSize
                                           ? ReplaceResult::Failed
                                           : file_.replaceContents(text);
        switch (replaced) {
        case ReplaceResult::Replaced:
            result = CloseResult::Written;
            break;
        case ReplaceResult::NotWritable:
            result = CloseResult::NotWritable;
            break;
        case ReplaceResult::Failed:
            result = CloseResult::WriteFailed;
            break;
        }
    }
    file_.close();
    document_ = PreferenceDocument();
    return result;
}

} // namespace velmora
