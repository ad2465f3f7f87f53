// SPDX-License-Identifier: MIT
// The page's entry points: thin wrappers over Session, each answering with a JSON text that stays
// valid until the next call.
#include <emscripten/emscripten.h>

#include <exception>
#include <string>

#include "web/json.h"
#include "web/session.h"

namespace {

xscatter::web::Session& TheSession() {
  static xscatter::web::Session session;
  return session;
}

template <typename Operation>
const char* Answer(Operation operation) {
  static std::string answer;
  try {
    answer = operation(TheSession());
  } catch (const std::exception& error) {
    answer = xscatter::web::JsonObject()
                 .Text("status", "failed")
                 .Text("message", std::string("内部エラー（") + error.what() + "）")
                 .Close();
  }
  return answer.c_str();
}

std::string Str(const char* text) { return text ? text : ""; }

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* xs_start(const char* data_folder) {
  return Answer([&](auto& s) { return s.Start(Str(data_folder)); });
}
EMSCRIPTEN_KEEPALIVE const char* xs_materials() {
  return Answer([](auto& s) { return s.Materials(); });
}
EMSCRIPTEN_KEEPALIVE const char* xs_set_filters(const char* lines) {
  return Answer([&](auto& s) { return s.SetFilters(Str(lines)); });
}
EMSCRIPTEN_KEEPALIVE const char* xs_enter_conditions() {
  return Answer([](auto& s) { return s.EnterConditions(); });
}
EMSCRIPTEN_KEEPALIVE const char* xs_calculate(const char* kv, const char* target_angle,
                                              const char* inherent, const char* al,
                                              const char* cu) {
  return Answer([&](auto& s) {
    return s.Calculate({Str(kv), Str(target_angle), Str(inherent), Str(al), Str(cu)});
  });
}
EMSCRIPTEN_KEEPALIVE const char* xs_reset() {
  return Answer([](auto& s) { return s.Reset(); });
}
EMSCRIPTEN_KEEPALIVE const char* xs_confirm_conditions() {
  return Answer([](auto& s) { return s.ConfirmConditions(); });
}
EMSCRIPTEN_KEEPALIVE const char* xs_scatter(const char* angle) {
  return Answer([&](auto& s) { return s.Scatter(Str(angle)); });
}
EMSCRIPTEN_KEEPALIVE const char* xs_clear_scatter_chart() {
  return Answer([](auto& s) { return s.ClearScatterChart(); });
}

}  // extern "C"
