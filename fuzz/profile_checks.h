#pragma once
// Checks of the profile functions on their own, without the program.
#include <set>
#include <string>
#include <utility>

namespace fuzzing {

// For keys the program owns: each key's value read (as text, or as a number written back in
// decimal) and written back leaves the lines the program does not own as they were, and a
// second write changes nothing; a number reads back the same.
void checkKeysWrittenBack(const std::string& original, const std::set<std::pair<std::string, std::string>>& owned,
                          bool asNumbers);

// Each key read from one read of its section (platform::SectionReader) as it is read alone.
void checkSectionReads(const std::string& original, const std::set<std::pair<std::string, std::string>>& owned);

}  // namespace fuzzing
