#include "swfplayer/text/native/FreeTypeFontSource.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace swfplayer::text {

struct FreeTypeFontSource::Library {
  FT_Library library = nullptr;
  Library() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
  ~Library() {
    if (library) FT_Done_FreeType(library);
  }
};

namespace {

std::string Fold(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

struct Family {
  std::vector<std::string> names;
  std::string folder;
  std::vector<std::string> files;  // regular, bold, italic, bold italic ("" where none)
};

const std::vector<Family>& BuiltIn() {
  static const std::string kLiberation = "/usr/share/fonts/truetype/liberation/";
  static const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/";
  static const std::string kIpa = "/usr/share/fonts/opentype/ipafont-gothic/";
  static const std::vector<Family> kFamilies{
      {{"liberation sans", "arial", "helvetica", "arial unicode ms"}, kLiberation,
       {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"}},
      {{"liberation serif", "times new roman", "times"}, kLiberation,
       {"LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf", "LiberationSerif-Italic.ttf", "LiberationSerif-BoldItalic.ttf"}},
      {{"liberation mono", "courier new", "courier"}, kLiberation,
       {"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf", "LiberationMono-Italic.ttf", "LiberationMono-BoldItalic.ttf"}},
      {{"dejavu sans", "verdana", "tahoma"}, kDejaVu,
       {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"}},
      {{"dejavu serif", "georgia"}, kDejaVu,
       {"DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf", "DejaVuSerif-BoldItalic.ttf"}},
      {{"dejavu sans mono", "lucida console", "consolas"}, kDejaVu,
       {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf", "DejaVuSansMono-BoldOblique.ttf"}},
      {{"ipagothic", "ms gothic", "ms pgothic", "ms ui gothic", "meiryo", "yu gothic", "ms mincho",
        "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF"},
       kIpa, {"ipag.ttf", "", "", ""}},
  };
  return kFamilies;
}

// Cubic segments (CFF fonts) become two quadratics each, split at the middle.
struct Decomposer {
  Path* path;
  double scale;
  Point last;
  Point Map(const FT_Vector* v) const { return {v->x * scale, -v->y * scale}; }
};

int MoveTo(const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  d->last = d->Map(to);
  d->path->MoveTo(d->last);
  return 0;
}
int LineTo(const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  d->last = d->Map(to);
  d->path->LineTo(d->last);
  return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  d->last = d->Map(to);
  d->path->QuadTo(d->Map(control), d->last);
  return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  const Point p0 = d->last, p1 = d->Map(c1), p2 = d->Map(c2), p3 = d->Map(to);
  auto mid = [](Point a, Point b) { return Point{(a.x + b.x) / 2, (a.y + b.y) / 2}; };
  const Point p01 = mid(p0, p1), p12 = mid(p1, p2), p23 = mid(p2, p3);
  const Point p012 = mid(p01, p12), p123 = mid(p12, p23), m = mid(p012, p123);
  // Each half's quadratic control point: the mean of where its two end tangents point.
  const Point q1{(3 * (p01.x + p012.x) - p0.x - m.x) / 4, (3 * (p01.y + p012.y) - p0.y - m.y) / 4};
  const Point q2{(3 * (p123.x + p23.x) - m.x - p3.x) / 4, (3 * (p123.y + p23.y) - m.y - p3.y) / 4};
  d->path->QuadTo(q1, m);
  d->path->QuadTo(q2, p3);
  d->last = p3;
  return 0;
}

class FreeTypeFace final : public DeviceFace {
 public:
  FreeTypeFace(std::shared_ptr<FreeTypeFontSource::Library> library, FT_Face face)
      : library_(std::move(library)), face_(face), scale_(kDeviceEmUnits / std::max<int>(1, face->units_per_EM)) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    // Windows' text metrics take the OS/2 table's Windows ascent and descent.
    if (os2 && os2->version != 0xFFFF && (os2->usWinAscent || os2->usWinDescent)) {
      ascent_ = os2->usWinAscent * scale_;
      descent_ = os2->usWinDescent * scale_;
    } else {
      ascent_ = face->ascender * scale_;
      descent_ = -face->descender * scale_;
    }
  }
  ~FreeTypeFace() override { FT_Done_Face(face_); }

  bool HasGlyph(char32_t c) const override { return FT_Get_Char_Index(face_, c) != 0; }

  std::optional<DeviceGlyph> Glyph(char32_t c) const override {
    const FT_UInt index = FT_Get_Char_Index(face_, c);
    if (index == 0) return std::nullopt;
    if (FT_Load_Glyph(face_, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
      return std::nullopt;
    }
    DeviceGlyph glyph;
    glyph.advance = face_->glyph->metrics.horiAdvance * scale_;
    if (face_->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_Outline_Funcs funcs{};
      funcs.move_to = MoveTo;
      funcs.line_to = LineTo;
      funcs.conic_to = ConicTo;
      funcs.cubic_to = CubicTo;
      Decomposer decomposer{&glyph.outline, scale_, {}};
      FT_Outline_Decompose(&face_->glyph->outline, &funcs, &decomposer);
    }
    return glyph;
  }

  double Kerning(char32_t left, char32_t right) const override {
    if (!FT_HAS_KERNING(face_)) return 0;
    FT_Vector delta{};
    if (FT_Get_Kerning(face_, FT_Get_Char_Index(face_, left), FT_Get_Char_Index(face_, right),
                       FT_KERNING_UNSCALED, &delta) != 0) {
      return 0;
    }
    return delta.x * scale_;
  }
  double Ascent() const override { return ascent_; }
  double Descent() const override { return descent_; }

 private:
  std::shared_ptr<FreeTypeFontSource::Library> library_;  // outlives the face
  FT_Face face_;
  double scale_;
  double ascent_ = 0, descent_ = 0;
};

}  // namespace

FreeTypeFontSource::FreeTypeFontSource() : library_(std::make_shared<Library>()) {
  for (const Family& family : BuiltIn()) {
    std::vector<std::string> paths;
    for (const std::string& file : family.files) paths.push_back(file.empty() ? "" : family.folder + file);
    for (const std::string& name : family.names) files_[name] = paths;
  }
}

FreeTypeFontSource::~FreeTypeFontSource() = default;

void FreeTypeFontSource::AddFont(const std::string& family, const std::string& path, bool bold, bool italic) {
  std::vector<std::string>& paths = files_[Fold(family)];
  if (paths.size() < 4) paths.resize(4);
  paths[(bold ? 1 : 0) + (italic ? 2 : 0)] = path;
}

void FreeTypeFontSource::AddAlias(const std::string& family, const std::string& to) {
  aliases_[Fold(family)] = Fold(to);
}

std::shared_ptr<const DeviceFace> FreeTypeFontSource::Open(std::string_view family, bool bold, bool italic) {
  if (!library_->library) return nullptr;
  std::string name = Fold(family);
  if (const auto alias = aliases_.find(name); alias != aliases_.end()) name = alias->second;
  const auto found = files_.find(name);
  if (found == files_.end()) return nullptr;
  const std::vector<std::string>& paths = found->second;
  // The style asked for, else the nearest one the family has.
  const int wanted = (bold ? 1 : 0) + (italic ? 2 : 0);
  for (int style : {wanted, wanted & 1, wanted & 2, 0}) {
    if (static_cast<size_t>(style) >= paths.size() || paths[style].empty()) continue;
    std::error_code error;
    if (!std::filesystem::is_regular_file(paths[style], error)) continue;
    FT_Face face = nullptr;
    if (FT_New_Face(library_->library, paths[style].c_str(), 0, &face) != 0) continue;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) {
      FT_Done_Face(face);
      continue;
    }
    return std::make_shared<FreeTypeFace>(library_, face);
  }
  return nullptr;
}

std::vector<std::string> FreeTypeFontSource::Families() {
  std::vector<std::string> names;
  for (const auto& [family, files] : files_) names.push_back(family);
  for (const Family& family : BuiltIn()) names.insert(names.end(), family.names.begin(), family.names.end());
  return names;
}

}  // namespace swfplayer::text
