// SPDX-License-Identifier: MIT
#include "web/json.h"

#include <cstdio>

namespace xscatter::web {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", c);
          out += escape;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

void JsonObject::Name(std::string_view name) {
  if (text_.size() > 1) text_ += ",";
  text_ += JsonString(name) + ":";
}

JsonObject& JsonObject::Text(std::string_view name, std::string_view value) {
  Name(name);
  text_ += JsonString(value);
  return *this;
}

JsonObject& JsonObject::Raw(std::string_view name, std::string_view json) {
  Name(name);
  text_ += json;
  return *this;
}

}  // namespace xscatter::web
