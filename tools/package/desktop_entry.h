#pragma once
// What a Linux package gives the desktop (freedesktop.org): a desktop entry
// in /usr/share/applications that starts the launcher with the opened file,
// a shared-mime-info package in /usr/share/mime/packages for the document
// types of [File Associations], and the icon as PNGs of the hicolor theme.
// Debian's own triggers update the MIME, desktop and icon caches.

#include <filesystem>
#include <string>

#include "package_description.h"

namespace korvan::package {

// The MIME type of a document type: "application/x-<package>-<extension>".
std::wstring MimeTypeOf(const PackageDescription& description, const FileAssociation& association);

// The desktop entry's text (its file name is the Debian package name + ".desktop").
std::wstring DesktopEntryText(const PackageDescription& description);

// The shared-mime-info XML that names each document type by its extension.
std::wstring MimeInfoText(const PackageDescription& description);

// Writes the entry, the MIME types (when there are any) and the icon's PNGs
// (when the description names an icon) below `tree`, the .deb's root.
bool LayOutDesktopFiles(const PackageDescription& description, const std::filesystem::path& tree,
                        std::wstring& error);

}  // namespace korvan::package
