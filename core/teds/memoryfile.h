#pragma once
// TEDS memory files (".tds") and the bit dump of an image.
//
// Format 1.2, one line each, CR LF: "Memory Fileformat 1.2", the node id, "IEEE 1451.4"
// (or "IEEE P1451.4" for the draft layout), then "&H" and two hex digits per byte
// 1 .. Size. Formats 1.1, 1.0 and header-less files ("&H.." first) are read too.

#include "core/teds/tedsbuf.h"

#include <filesystem>
#include <string>

namespace core {

// TEDS bytes a memory file holds; a loaded file always gives an image of this size.
constexpr int kMemoryFileBytes = 496;

// The check that the template and list files are validated before an image is saved.
// The template library side implements it (running CheckAllFilesValidated when the
// image's template or the file set is not known to be valid); without one, saving is
// allowed.
class SaveValidationGate {
public:
    virtual ~SaveValidationGate() = default;
    virtual bool filesValidated(const TedsBuf& image) = 0;
};
void setSaveValidationGate(SaveValidationGate* gate);

// Writes format 1.2 through a temporary file and a rename. Refused (message, no file)
// when the validation gate fails; a write failure is reported. True when written.
bool SaveMemoryFile(const TedsBuf& image, const std::filesystem::path& path);

// Reads a memory file. The whole file is checked first; the image changes only when it
// is valid: id (formats 1.1 and 1.2), DraftLayout, ReadOK = false, Size = 496, Bytes
// 1 .. 496 (bytes not in the file FFh), Bits the same content. An unknown
// first line ("Unknown fileformat"), a value that is no byte, a file larger than a
// memory file can be (16 KiB; not read beyond that) and a file that cannot be read are
// reported. True when the image was loaded.
bool LoadMemoryFile(TedsBuf& image, const std::filesystem::path& path);

// The dump text of bits 0 .. bitCount - 1 (withRom: the first 64 bits as the ROM id).
std::string memoryDump(const std::string& title, const TedsBuf& image, int bitCount, bool withRom);
// Shows that text through ShowMessage (OK, empty title) and passes it to the trace.
void MemoryDumpText(const std::string& title, const TedsBuf& image, int bitCount, bool withRom);

} // namespace core
