// The native tools' and tests' device fonts: FreeType over font files from Debian packages,
// with the metric-compatible stand-ins for Windows' faces (fonts-liberation: Liberation Sans,
// Serif and Mono for Arial, Times New Roman and Courier New; fonts-ipafont-gothic: IPAGothic for
// the Japanese gothic faces, whose half- and full-width advances match MS Gothic's; DejaVu for
// Verdana and Georgia). Outlines are unhinted, as GDI gives them with GGO_UNHINTED.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "swfplayer/text/FontSource.h"

namespace swfplayer::text {

class FreeTypeFontSource final : public FontSource {
 public:
  FreeTypeFontSource();
  ~FreeTypeFontSource() override;

  // A font file for a family and style, taken before the built-in table (a test suite's own
  // fonts). Families compare without case.
  void AddFont(const std::string& family, const std::string& path, bool bold = false, bool italic = false);
  // Makes a family stand for another (a test suite's "sans is Noto Sans").
  void AddAlias(const std::string& family, const std::string& to);

  std::shared_ptr<const DeviceFace> Open(std::string_view family, bool bold, bool italic) override;
  // The names the built-in table and AddFont answer to.
  std::vector<std::string> Families() override;

  struct Library;  // FreeType's, shared by the faces opened

 private:
  std::shared_ptr<Library> library_;
  // folded family -> files by style (0 regular, 1 bold, 2 italic, 3 both; empty: not given)
  std::map<std::string, std::vector<std::string>> files_;
  std::map<std::string, std::string> aliases_;
};

}  // namespace swfplayer::text
