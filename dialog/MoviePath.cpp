#include "dialog/MoviePath.h"

#include <optional>

#include "platform/Exceptions.h"

namespace swfsaver {

namespace {
// Follows the path; it names both the file and its folders, since either may hold the
// character at fault.
constexpr const char* kUnstorableName =
    " は、この Windows の文字コードにない文字を名前に含むため、リストに保存できません。"
    "ファイルまたはフォルダーの名前を変更してから追加してください";
}  // namespace

std::string MoviePathToStore(const std::string& chosen, const platform::CodePage& codePage,
                             platform::Kernel& kernel) {
  if (std::optional<std::string> ansi = codePage.Utf8ToAnsi(chosen)) return *ansi;
  // A short name is made from the long one and may keep characters of its own; it is taken
  // only when it too converts without loss.
  if (std::optional<std::string> shortPath = kernel.ShortPathName(chosen)) {
    if (std::optional<std::string> ansi = codePage.Utf8ToAnsi(*shortPath)) return *ansi;
  }
  throw EConvertError(chosen + kUnstorableName);
}

}  // namespace swfsaver
