#include "fuzz/profile_checks.h"

#include <vector>

#include "fuzz/require.h"
#include "platform/fake/text_profile.h"
#include "platform/profile.h"

namespace fuzzing {

using platform::fake::linesNotOwned;
using platform::fake::TextProfile;

void checkKeysWrittenBack(const std::string& original, const std::set<std::pair<std::string, std::string>>& owned,
                          bool asNumbers) {
    const std::string path = "file.ini";
    TextProfile files;
    files.setText(path, original);
    std::vector<std::string> values;
    values.reserve(owned.size());
    for (const auto& [section, key] : owned)
        values.push_back(asNumbers ? std::to_string(files.getInt(path, section, key, 0))
                                   : files.getString(path, section, key, ""));
    size_t i = 0;
    for (const auto& [section, key] : owned) require(files.writeString(path, section, key, values[i++]));
    const std::string written = files.text(path);
    require(linesNotOwned(original, owned) == linesNotOwned(written, owned));
    i = 0;
    if (asNumbers)
        for (const auto& [section, key] : owned) require(files.getString(path, section, key, "") == values[i++]);
    i = 0;
    for (const auto& [section, key] : owned) require(files.writeString(path, section, key, values[i++]));
    require(files.text(path) == written);
}

void checkSectionReads(const std::string& original, const std::set<std::pair<std::string, std::string>>& owned) {
    const std::string path = "file.ini";
    TextProfile files;
    files.setText(path, original);
    for (const auto& [section, key] : owned) {
        platform::SectionReader reader(files, path, section);
        require(reader.getInt(key, 77) == files.getInt(path, section, key, 77));
        require(reader.getString(key, "-") == files.getString(path, section, key, "-"));
    }
}

}  // namespace fuzzing
