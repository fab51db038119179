#include "standin/flash/GdiFontSource.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

namespace swfsaver::flash {
namespace {

using swfplayer::Path;
using swfplayer::Point;
using swfplayer::text::DeviceGlyph;
using swfplayer::text::kDeviceEmUnits;

constexpr DWORD kMaxOutlineBytes = 1 << 20;  // far beyond any glyph's

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > 1024) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

int CALLBACK FoundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool Installed(HDC dc, const std::wstring& face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(query.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExW(dc, &query, FoundFamily, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

int CALLBACK AddFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names) {
  auto& list = *reinterpret_cast<std::vector<std::wstring>*>(names);
  // Vertical (@) faces and the same family in other character sets are left out.
  if (font->lfFaceName[0] != L'@' && list.size() < 4096 &&
      std::find(list.begin(), list.end(), font->lfFaceName) == list.end()) {
    list.emplace_back(font->lfFaceName);
  }
  return TRUE;
}

double Fixed(FIXED f) { return f.value + f.fract / 65536.0; }
Point PointOf(const POINTFX& p) { return {Fixed(p.x), -Fixed(p.y)}; }
Point Mid(Point a, Point b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

// TrueType's quadratic splines: between two off-curve points lies an implied on-curve one.
void AddQuadSpline(Path& path, Point& last, const POINTFX* points, WORD count) {
  for (WORD i = 0; i + 1 < count; ++i) {
    const Point control = PointOf(points[i]);
    const Point to = i + 2 < count ? Mid(control, PointOf(points[i + 1])) : PointOf(points[i + 1]);
    path.QuadTo(control, to);
    last = to;
  }
}

// Cubic segments (an OpenType font's outlines) as two quadratics each.
void AddCubicSpline(Path& path, Point& last, const POINTFX* points, WORD count) {
  for (WORD i = 0; i + 2 < count; i += 3) {
    const Point p0 = last, p1 = PointOf(points[i]), p2 = PointOf(points[i + 1]), p3 = PointOf(points[i + 2]);
    const Point p01 = Mid(p0, p1), p12 = Mid(p1, p2), p23 = Mid(p2, p3);
    const Point p012 = Mid(p01, p12), p123 = Mid(p12, p23), m = Mid(p012, p123);
    path.QuadTo({(3 * (p01.x + p012.x) - p0.x - m.x) / 4, (3 * (p01.y + p012.y) - p0.y - m.y) / 4}, m);
    path.QuadTo({(3 * (p123.x + p23.x) - m.x - p3.x) / 4, (3 * (p123.y + p23.y) - m.y - p3.y) / 4}, p3);
    last = p3;
  }
}

// GGO_NATIVE's buffer: polygons, each a header and its curves, y up.
void ReadOutline(const std::vector<uint8_t>& buffer, Path& path) {
  size_t at = 0;
  while (at + sizeof(TTPOLYGONHEADER) <= buffer.size()) {
    TTPOLYGONHEADER header;
    memcpy(&header, buffer.data() + at, sizeof header);
    if (header.cb < sizeof header || at + header.cb > buffer.size()) return;
    const size_t end = at + header.cb;
    Point last = PointOf(header.pfxStart);
    const Point start = last;
    path.MoveTo(start);
    size_t curve = at + sizeof header;
    while (curve + offsetof(TTPOLYCURVE, apfx) <= end) {
      TTPOLYCURVE head;
      memcpy(&head, buffer.data() + curve, offsetof(TTPOLYCURVE, apfx));
      const size_t bytes = offsetof(TTPOLYCURVE, apfx) + size_t{head.cpfx} * sizeof(POINTFX);
      if (curve + bytes > end) break;
      std::vector<POINTFX> points(head.cpfx);
      memcpy(points.data(), buffer.data() + curve + offsetof(TTPOLYCURVE, apfx), head.cpfx * sizeof(POINTFX));
      if (head.wType == TT_PRIM_LINE) {
        for (const POINTFX& p : points) path.LineTo(last = PointOf(p));
      } else if (head.wType == TT_PRIM_QSPLINE) {
        AddQuadSpline(path, last, points.data(), head.cpfx);
      } else if (head.wType == TT_PRIM_CSPLINE) {
        AddCubicSpline(path, last, points.data(), head.cpfx);
      }
      curve += bytes;
    }
    if (last.x != start.x || last.y != start.y) path.LineTo(start);
    at = end;
  }
}

class GdiFace final : public swfplayer::text::DeviceFace {
 public:
  GdiFace(HDC dc, HFONT font) : dc_(dc), font_(font) {
    old_ = SelectObject(dc_, font_);
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc_, &metrics)) {
      ascent_ = metrics.tmAscent;
      descent_ = metrics.tmDescent;
    }
    const DWORD pairs = GetKerningPairsW(dc_, 0, nullptr);
    if (pairs > 0 && pairs < 65536) {
      std::vector<KERNINGPAIR> kerning(pairs);
      const DWORD got = GetKerningPairsW(dc_, pairs, kerning.data());
      for (DWORD i = 0; i < got; ++i) {
        kerning_[(uint32_t{kerning[i].wFirst} << 16) | kerning[i].wSecond] = kerning[i].iKernAmount;
      }
    }
  }
  ~GdiFace() override {
    SelectObject(dc_, old_);
    DeleteObject(font_);
    DeleteDC(dc_);
  }
  GdiFace(const GdiFace&) = delete;
  GdiFace& operator=(const GdiFace&) = delete;

  bool HasGlyph(char32_t c) const override {
    if (c > 0xFFFF) return false;
    const wchar_t wide = static_cast<wchar_t>(c);
    WORD index = 0xFFFF;
    return GetGlyphIndicesW(dc_, &wide, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == 1 && index != 0xFFFF;
  }

  std::optional<DeviceGlyph> Glyph(char32_t c) const override {
    if (!HasGlyph(c)) return std::nullopt;
    static const MAT2 kIdentity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const UINT character = static_cast<UINT>(c);
    GLYPHMETRICS metrics{};
    if (GetGlyphOutlineW(dc_, character, GGO_METRICS | GGO_UNHINTED, &metrics, 0, nullptr, &kIdentity) == GDI_ERROR) {
      return std::nullopt;
    }
    DeviceGlyph glyph;
    glyph.advance = metrics.gmCellIncX;
    // A space has no outline (some fonts answer its size with an error).
    const UINT format = GGO_NATIVE | GGO_UNHINTED;
    const DWORD size = GetGlyphOutlineW(dc_, character, format, &metrics, 0, nullptr, &kIdentity);
    if (size == GDI_ERROR || size == 0 || size > kMaxOutlineBytes) return glyph;
    std::vector<uint8_t> buffer(size);
    if (GetGlyphOutlineW(dc_, character, format, &metrics, size, buffer.data(), &kIdentity) != GDI_ERROR) {
      ReadOutline(buffer, glyph.outline);
    }
    return glyph;
  }

  double Kerning(char32_t left, char32_t right) const override {
    if (left > 0xFFFF || right > 0xFFFF) return 0;
    const auto found = kerning_.find((uint32_t(left) << 16) | uint32_t(right));
    return found == kerning_.end() ? 0.0 : found->second;
  }
  double Ascent() const override { return ascent_; }
  double Descent() const override { return descent_; }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_ = nullptr;
  double ascent_ = 0.9 * kDeviceEmUnits, descent_ = 0.2 * kDeviceEmUnits;
  std::unordered_map<uint32_t, double> kerning_;
};

}  // namespace

std::shared_ptr<const swfplayer::text::DeviceFace> GdiFontSource::Open(std::string_view family, bool bold,
                                                                       bool italic) {
  const std::wstring face = Widen(family);
  if (face.empty() || face.size() >= LF_FACESIZE) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  if (!Installed(dc, face)) {
    DeleteDC(dc);
    return nullptr;
  }
  LOGFONTW request{};
  request.lfHeight = -static_cast<LONG>(kDeviceEmUnits);  // the EM, not the cell, 1024 units
  request.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  request.lfItalic = italic ? TRUE : FALSE;
  request.lfCharSet = DEFAULT_CHARSET;
  request.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  request.lfQuality = ANTIALIASED_QUALITY;
  face.copy(request.lfFaceName, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&request);
  if (!font) {
    DeleteDC(dc);
    return nullptr;
  }
  return std::make_shared<GdiFace>(dc, font);
}

std::vector<std::string> GdiFontSource::Families() {
  std::vector<std::wstring> wide;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return {};
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(dc, &query, AddFamily, reinterpret_cast<LPARAM>(&wide), 0);
  DeleteDC(dc);
  std::vector<std::string> names;
  for (const std::wstring& name : wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string utf8(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
      WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), utf8.data(), size, nullptr, nullptr);
    }
    names.push_back(std::move(utf8));
  }
  return names;
}

}  // namespace swfsaver::flash
