// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace xscatter::web {

// A JSON object written member by member; values are strings, raw JSON or further objects.
class JsonObject {
 public:
  JsonObject& Text(std::string_view name, std::string_view value);
  JsonObject& Raw(std::string_view name, std::string_view json);
  std::string Close() const { return text_ + "}"; }

 private:
  void Name(std::string_view name);
  std::string text_ = "{";
};

// A JSON string literal, with every control character escaped.
std::string JsonString(std::string_view text);

}  // namespace xscatter::web
