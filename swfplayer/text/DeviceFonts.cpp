#include "swfplayer/text/DeviceFonts.h"

#include <unordered_map>
#include <vector>

#include "swfplayer/text/Unicode.h"

namespace swfplayer::text {
namespace {

// Windows' faces for the generic families, in the order tried; the Japanese ones end with
// faces free systems have (a Wine prefix with a Debian font), which Windows never has.
const std::vector<std::string>& Candidates(GenericFamily family) {
  static const std::vector<std::string> kSans{"Arial"};
  static const std::vector<std::string> kSerif{"Times New Roman"};
  static const std::vector<std::string> kTypewriter{"Courier New"};
  static const std::vector<std::string> kGothic{"MS Gothic", "Meiryo", "Yu Gothic", "MS UI Gothic",
                                                "IPAGothic", "Noto Sans CJK JP"};
  static const std::vector<std::string> kMincho{"MS Mincho", "Yu Mincho", "IPAMincho", "MS Gothic",
                                                "IPAGothic"};
  switch (family) {
    case GenericFamily::kSans: return kSans;
    case GenericFamily::kSerif: return kSerif;
    case GenericFamily::kTypewriter: return kTypewriter;
    case GenericFamily::kGothic: return kGothic;
    case GenericFamily::kMincho: return kMincho;
  }
  return kSans;
}

bool Contains(const std::u16string& haystack, std::u16string_view needle) {
  return haystack.find(needle) != std::u16string::npos;
}

// One face with its glyphs cached (a missing glyph is remembered as such).
class CachedFace {
 public:
  explicit CachedFace(std::shared_ptr<const DeviceFace> face) : face_(std::move(face)) {}

  bool Find(char32_t character, FontGlyph& glyph) const {
    auto found = glyphs_.find(character);
    if (found == glyphs_.end()) {
      if (glyphs_.size() >= DeviceFonts::kMaxCachedGlyphs) glyphs_.clear();
      Entry entry;
      if (auto made = face_->Glyph(character)) {
        entry.glyph.outline = std::make_shared<const Path>(std::move(made->outline));
        entry.glyph.advance = made->advance;
        entry.found = true;
      }
      found = glyphs_.emplace(character, std::move(entry)).first;
    }
    if (!found->second.found) return false;
    glyph = found->second.glyph;
    return true;
  }
  const DeviceFace& Face() const { return *face_; }

 private:
  struct Entry {
    FontGlyph glyph;
    bool found = false;
  };
  std::shared_ptr<const DeviceFace> face_;
  mutable std::unordered_map<char32_t, Entry> glyphs_;
};

// The face asked for (or its family's stand-in), then sans, then a Japanese face.
class DeviceChain final : public LayoutFont {
 public:
  explicit DeviceChain(std::vector<std::shared_ptr<const DeviceFace>> faces) {
    for (auto& face : faces) {
      if (face) faces_.emplace_back(std::move(face));
    }
  }

  bool Find(char32_t character, FontGlyph& glyph) const override {
    for (const CachedFace& face : faces_) {
      if (face.Find(character, glyph)) return true;
    }
    return false;
  }
  double Kerning(char32_t left, char32_t right) const override {
    return faces_.empty() ? 0.0 : faces_.front().Face().Kerning(left, right);
  }
  double UnitsPerEm() const override { return kDeviceEmUnits; }
  double Ascent() const override { return faces_.empty() ? 0.9 * kDeviceEmUnits : faces_.front().Face().Ascent(); }
  double Descent() const override { return faces_.empty() ? 0.2 * kDeviceEmUnits : faces_.front().Face().Descent(); }
  double Leading() const override { return 0; }
  bool IsDevice() const override { return true; }

 private:
  std::vector<CachedFace> faces_;
};

}  // namespace

GenericFamily DeviceFonts::FamilyOf(std::u16string_view name, bool* generic) {
  const std::u16string lower = FoldCase(name);
  if (generic) *generic = true;
  if (lower == u"_sans") return GenericFamily::kSans;
  if (lower == u"_serif") return GenericFamily::kSerif;
  if (lower == u"_typewriter") return GenericFamily::kTypewriter;
  if (lower == u"_\u30B4\u30B7\u30C3\u30AF" || lower == u"_\u7B49\u5E45") return GenericFamily::kGothic;
  if (lower == u"_\u660E\u671D") return GenericFamily::kMincho;
  if (generic) *generic = false;
  if (Contains(lower, u"\u660E\u671D") || Contains(lower, u"mincho")) return GenericFamily::kMincho;
  if (Contains(lower, u"\u30B4\u30B7\u30C3\u30AF") || Contains(lower, u"gothic")) return GenericFamily::kGothic;
  if (Contains(lower, u"courier") || Contains(lower, u"mono") || Contains(lower, u"console")) {
    return GenericFamily::kTypewriter;
  }
  if (Contains(lower, u"times") || Contains(lower, u"serif") || Contains(lower, u"georgia") ||
      Contains(lower, u"garamond")) {
    return Contains(lower, u"sans") ? GenericFamily::kSans : GenericFamily::kSerif;
  }
  return GenericFamily::kSans;
}

std::shared_ptr<const DeviceFace> DeviceFonts::Open(const std::string& family, bool bold, bool italic) {
  const auto key = std::make_tuple(family, bold, italic);
  const auto found = faces_.find(key);
  if (found != faces_.end()) return found->second;
  auto face = source_->Open(family, bold, italic);
  faces_.emplace(key, face);
  return face;
}

std::shared_ptr<const LayoutFont> DeviceFonts::Font(std::u16string_view name, bool bold, bool italic) {
  auto key = std::make_tuple(FoldCase(name), bold, italic);
  const auto found = chains_.find(key);
  if (found != chains_.end()) return found->second;
  std::vector<std::shared_ptr<const DeviceFace>> faces;
  if (source_) {
    bool generic = false;
    const GenericFamily family = FamilyOf(name, &generic);
    auto firstOf = [&](GenericFamily candidates) -> std::shared_ptr<const DeviceFace> {
      for (const std::string& candidate : Candidates(candidates)) {
        if (auto face = Open(candidate, bold, italic)) return face;
      }
      return nullptr;
    };
    std::shared_ptr<const DeviceFace> named = generic ? nullptr : Open(ToUtf8(name), bold, italic);
    faces.push_back(named ? named : firstOf(family));
    faces.push_back(firstOf(GenericFamily::kSans));
    faces.push_back(firstOf(GenericFamily::kGothic));
  }
  if (chains_.size() >= kMaxChains) chains_.clear();
  auto chain = std::make_shared<const DeviceChain>(std::move(faces));
  chains_.emplace(std::move(key), chain);
  return chain;
}

}  // namespace swfplayer::text
