#include "swfplayer/avm1/Paths.h"

#include "swfplayer/avm1/String.h"
#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {

namespace {

bool PrefixMatches(std::u16string_view text, std::u16string_view prefix, bool caseSensitive) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    const char16_t a = text[i];
    const char16_t b = prefix[i];
    if (caseSensitive ? a != b : FoldCase(a) != FoldCase(b)) return false;
  }
  return true;
}

}  // namespace

std::optional<int> LevelNumber(std::u16string_view name, bool caseSensitive) {
  if (!PrefixMatches(name, u"_level", caseSensitive) && !PrefixMatches(name, u"_flash", caseSensitive)) {
    return std::nullopt;
  }
  std::u16string_view digits = name.substr(6);
  bool negative = false;
  if (!digits.empty() && digits[0] == u'-') {
    negative = true;
    digits.remove_prefix(1);
  }
  uint32_t level = 0;
  for (char16_t unit : digits) {
    if (unit < u'0' || unit > u'9') break;
    level = level * 10 + (unit - u'0');
  }
  const auto value = static_cast<int32_t>(negative ? 0u - level : level);
  return value;
}

Clip* ResolveTargetPath(VmImpl& vm, std::u16string_view path) {
  size_t end = path.find(u'.');
  const auto level = LevelNumber(path.substr(0, end), vm.CaseSensitive());
  if (!level) return nullptr;
  Clip* clip = vm.host.Level(*level);
  while (clip != nullptr && end != std::u16string_view::npos) {
    const size_t begin = end + 1;
    end = path.find(u'.', begin);
    const std::u16string_view name =
        path.substr(begin, end == std::u16string_view::npos ? std::u16string_view::npos : end - begin);
    clip = clip->ChildByName(name, vm.CaseSensitive());
  }
  return clip;
}

}  // namespace swfplayer::avm1
