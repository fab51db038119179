#include "app/ParseRunMode.h"

#include <array>

namespace swfsaver {

namespace {
struct RunModeRule {
  std::string_view prefix;  // compared with as many leading bytes of the argument
  TRunMode mode;
};

// Tried in this order; the first rule whose prefix the argument starts with decides, and
// whatever follows the prefix is ignored ("/c:1234", "Screen").
constexpr std::array<RunModeRule, 12> kRules{{
    {"/A", rmChangePassword}, {"-A", rmChangePassword}, {"A", rmChangePassword},
    {"/P", rmPreview},        {"-P", rmPreview},        {"P", rmPreview},
    {"/C", rmConfigure},      {"-C", rmConfigure},      {"C", rmConfigure},
    {"/S", rmSaver},          {"-S", rmSaver},          {"S", rmSaver},
}};
}  // namespace

std::optional<TRunMode> ParseRunMode(std::string_view firstParam) {
  for (const RunModeRule& rule : kRules) {
    if (firstParam.substr(0, rule.prefix.size()) == rule.prefix) return rule.mode;
  }
  // No argument at all is the request to show the settings; anything else unknown is none.
  if (firstParam.empty()) return rmConfigure;
  return std::nullopt;
}

}  // namespace swfsaver
