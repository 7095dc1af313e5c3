#pragma once
// Whether a folder may hold this user's files: one that another user could
// write to (or swap) would let that user plant files or links in it.

#include <sys/stat.h>

#include <string>

namespace korvan::platform {

// Why `path` is not a folder of the effective user that no one else can
// write to; empty when it is. The bits of `forbidden` (S_IWGRP | S_IWOTH, or
// S_IRWXG | S_IRWXO for a folder that must stay private) must be clear in
// its mode. A symbolic link must belong to the user as well as its target.
std::wstring WhyNotOwnFolder(const std::string& path, mode_t forbidden);

}  // namespace korvan::platform
