#pragma once
// A settings text as users write it (a text file) and as a launcher embeds it
// (UTF-16LE, lines ending in CR LF), for the stamping tool.

#include <string>

namespace korvan {

// The plain embedded bytes for the text in `file_bytes`: UTF-16LE or UTF-16BE
// when the file starts with their byte-order mark, UTF-8 otherwise (a UTF-8 mark is
// dropped); every line end (LF, CR or CR LF) becomes CR LF, since the embedded
// text knows no other. The result starts with a byte-order mark, which the
// launcher skips: so even an empty text has bytes (an empty resource cannot
// be written everywhere).
std::string EmbeddedBytesFromTextFile(const std::string& file_bytes);

// The plain embedded bytes as UTF-8 text with LF line ends and no byte-order
// mark, for showing.
std::string TextFileFromEmbeddedBytes(const std::string& embedded_bytes);

}  // namespace korvan
