// The parts of a template file below the codec (template_codec.h): the sheet
// header line, the cutting of text into lines with CR LF line ends and the
// safe writing of the bytes. Lines are the program's UTF-8 text; the codec
// turns them into the file's Windows-1252 bytes and back.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_io.h"
#include "template/records.h"

namespace zirvo {

using TemplateLines = std::vector<std::string>;

// The first five characters of the sheet header line.
inline constexpr std::string_view kSheetHeaderMarker = "|HJA|";

// Every field as after a header reset; Int1 is left unchanged.
void ResetSheetHeader(SheetHeader& header);
// The sheet header of a template made with New or the start-up template:
// kind "IMP100", the two colours, the given name and size.
void StartNewSheetHeader(SheetHeader& header, const std::string& name, double width, double height);

// Sets Name (file name with extension, cut to 80) and Folder from the target
// path, then appends the "|HJA|" line.
void WriteSheetHeader(SheetHeader& header, TemplateLines& lines, const std::string& targetPath);
// Fills the header from the first "|HJA|" line: Name from the file name up to
// its first ".", Folder from the path, the rest from its fields. Returns false
// when there is no such line. Throws ConversionError for a value that is not a
// number and ZirvoError for a line with fewer than 21 fields. The header
// changes only when the whole line was read.
bool ReadSheetHeader(SheetHeader& header, const TemplateLines& lines,
                     const std::string& sourcePath);

// The bytes of the lines, each ended by CR LF.
std::string JoinTemplateLines(const TemplateLines& lines);
// Writes the bytes of a template file at `path` through WriteFileAtomically:
// the previous file survives any failure. A path that is a symbolic link
// writes the file the link leads to, and the link stays as it was; a link
// that leads to no file, and a path that is not a regular file (a folder, a
// FIFO, a device) are refused, writing nothing. Throws ZirvoError naming the
// file and the cause. `observer` is told the stages of the write.
void WriteTemplateBytes(const std::string& path, std::string_view bytes,
                        const WriteObserver& observer = {});
// Hands the lines of file content one by one to `take`, which returns false
// to stop; CR, LF and CR LF each end a line, and a final line end adds no
// empty line.
void ForEachTemplateLine(std::string_view bytes,
                         const std::function<bool(std::string_view line)>& take);
// The parts of a path as the sheet header stores them. Paths are the
// system's own (UTF-8 on Linux, "/" between folders), and so are the
// results, so "Facturación.pla" keeps its accent in the name label and, once
// encoded, in the file.
std::string FileNameOf(const std::string& path);
std::string FolderOf(const std::string& path);
// The file name of `path` up to its first ".", at most 80 characters.
std::string TemplateNameOf(const std::string& path);

}  // namespace zirvo
