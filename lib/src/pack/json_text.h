// JSON files written the one way: names as bytes, two blanks of indent.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "tessly/io.h"
#include "tessly/status.h"

namespace tessly {

using Json = nlohmann::ordered_json;

// Bytes as the code points of the same numbers, in UTF-8, which JSON then
// writes as \u0080 to \u00ff: a name turns back into exactly its bytes.
std::string CodePointsOf(std::string_view bytes);

// The JSON text, indented by two blanks, ASCII only, and a line end.
Status WriteJson(const Json& json, ByteSink& sink);

}  // namespace tessly
