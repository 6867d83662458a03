#pragma once

#include <string>
#include <string_view>

#include "model/Mapping.hpp"
#include "support/Expected.hpp"

namespace joywright {

// The name of the mapping made by the "New mapping" command and of the replacement for a deleted
// last mapping; also what the window shows for an empty name.
inline constexpr std::string_view kUntitledMappingName = "(Untitled)";

// A new id, the name "(Untitled)", every input noop, both sticks smooth, schema "1.0".
Mapping untitledMapping();

// A copy with a new id, named "<name> copy" unless the name already contains " copy".
Mapping clonedMapping(const Mapping& source);
// "Racing" -> "Racing copy"; "Racing copy" and "My copy of Racing" stay as they are.
std::string cloneName(std::string_view name);

// The mapping an import of `text` adds: the document's mapping with a new id (the document's own
// id is never used), or the text to show: "Invalid text encoding." for bytes that are not UTF-8,
// "Failed to parse JSON: <reader's description>" for a document that does not read.
Expected<Mapping, std::string> importedMapping(std::string_view text);

// True when `text` holds nothing but spaces, tabs and line breaks (the import button is off).
bool isBlankImportText(std::string_view text);

}  // namespace joywright
