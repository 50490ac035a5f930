// What the rename path gives a new file so that it can take an old one's
// place: the old file's owner, group, extended attributes (the ACL among
// them) and mode.
#pragma once

#include <string>

struct stat;

namespace cavel {

// Gives the new file `fd` the owner, group, extended attributes and mode of
// the file `target`, which `old` describes; false when any of them cannot
// be kept, and the new file must not take the old one's place.
bool KeepMetadata(int fd, const std::string& target, const struct stat& old);

}  // namespace cavel
