#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace joywright {

// The one text form of every JSON file this program writes (mapping documents, backups):
//
//   {
//     "id": "0192F0C8-3B7A-7C1D-8E2F-3A4B5C6D7E8F",
//     "inputs": [],
//     "output": {
//       "noop": {}
//     }
//   }
//
// Two-space indent, one member or element per line, object keys in ascending byte order, empty
// objects and arrays as {} and [], a final newline. Any thread; no shared state.

// Pretty JSON text of `value`. Numbers that hold an exact 32-bit float are written as the
// shortest text that reads back as that float (800, 1234.6); other doubles as the shortest text
// that reads back as the double; NaN and infinities, which JSON cannot hold, as null. Invalid
// UTF-8 in strings becomes U+FFFD, so the result is always valid JSON. Never recurses, so any
// nesting depth is fine; never throws except std::bad_alloc.
std::string writePrettyJson(const nlohmann::json& value);

// Building blocks for writers that emit the same form without a DOM.

// `text` as a JSON string literal: '"', '\\' and control characters escaped (\n, \t, ...,
// \u001f), everything else as UTF-8; invalid UTF-8 bytes become U+FFFD.
void appendJsonString(std::string& out, std::string_view text);

// The shortest decimal text that reads back as the same 32-bit float ("800", "1234.6",
// "-0.5", "1e+20"); "null" for NaN and infinities.
void appendJsonFloat(std::string& out, float value);

// A line break followed by two spaces per level.
void appendJsonNewline(std::string& out, int level);

}  // namespace joywright
