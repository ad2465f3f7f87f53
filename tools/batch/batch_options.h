#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/command_panel.h"

namespace xscatter::batch {

// The raw box texts given on the command line; boxes not given keep the screens' default texts.
struct BatchOptions {
  std::map<ConditionBox, std::string> boxes;
  std::optional<std::string> angle;  // without it only the primary spectrum is computed
  bool help = false;
  bool version = false;
};

// Parses "--name value" and "--name=value"; on a malformed command line returns nothing and puts
// the reason into `error`.
std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& args,
                                              std::string& error);

extern const char* const kBatchUsage;

}  // namespace xscatter::batch
