#include "swfplayer/text/HtmlWriter.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace swfplayer::text {
namespace {

void AppendAscii(std::u16string& out, std::string_view ascii) { out.append(ascii.begin(), ascii.end()); }

void AppendNumber(std::u16string& out, double value) {
  char buffer[32];
  if (!std::isfinite(value)) value = 0;
  if (value == std::floor(value)) {
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
  } else {
    std::snprintf(buffer, sizeof buffer, "%g", value);
  }
  AppendAscii(out, buffer);
}

void AppendEscaped(std::u16string& out, std::u16string_view text) {
  for (char16_t c : text) {
    switch (c) {
      case u'<': AppendAscii(out, "&lt;"); break;
      case u'>': AppendAscii(out, "&gt;"); break;
      case u'&': AppendAscii(out, "&amp;"); break;
      case u'"': AppendAscii(out, "&quot;"); break;
      case u'\'': AppendAscii(out, "&apos;"); break;
      default: out.push_back(c);
    }
  }
}

const char* AlignName(Align align) {
  switch (align) {
    case Align::kLeft: return "LEFT";
    case Align::kRight: return "RIGHT";
    case Align::kCenter: return "CENTER";
    case Align::kJustify: return "JUSTIFY";
  }
  return "LEFT";
}

void AppendRun(std::u16string& out, std::u16string_view text, const TextFormat& format) {
  AppendAscii(out, "<FONT FACE=\"");
  AppendEscaped(out, format.font.value_or(u""));
  AppendAscii(out, "\" SIZE=\"");
  AppendNumber(out, format.size.value_or(12));
  char color[16];
  std::snprintf(color, sizeof color, "#%06X", format.color.value_or(0) & 0xFFFFFF);
  AppendAscii(out, "\" COLOR=\"");
  AppendAscii(out, color);
  AppendAscii(out, "\" LETTERSPACING=\"");
  AppendNumber(out, format.letterSpacing.value_or(0));
  AppendAscii(out, "\" KERNING=\"");
  AppendAscii(out, format.kerning.value_or(false) ? "1" : "0");
  AppendAscii(out, "\">");
  const bool link = format.url && !format.url->empty();
  if (link) {
    AppendAscii(out, "<A HREF=\"");
    AppendEscaped(out, *format.url);
    AppendAscii(out, "\" TARGET=\"");
    AppendEscaped(out, format.target.value_or(u""));
    AppendAscii(out, "\">");
  }
  if (format.bold.value_or(false)) AppendAscii(out, "<B>");
  if (format.italic.value_or(false)) AppendAscii(out, "<I>");
  if (format.underline.value_or(false)) AppendAscii(out, "<U>");
  AppendEscaped(out, text);
  if (format.underline.value_or(false)) AppendAscii(out, "</U>");
  if (format.italic.value_or(false)) AppendAscii(out, "</I>");
  if (format.bold.value_or(false)) AppendAscii(out, "</B>");
  if (link) AppendAscii(out, "</A>");
  AppendAscii(out, "</FONT>");
}

}  // namespace

std::u16string WriteHtml(const StyledText& text) {
  std::u16string out;
  const std::u16string& units = text.Text();
  const std::vector<FormatRun>& runs = text.Runs();
  size_t run = 0, runStart = 0;  // the run that holds `at`, and where it starts
  size_t start = 0;
  // Every paragraph, the last one too even when empty.
  while (true) {
    size_t end = units.find(u'\r', start);
    const bool last = end == std::u16string::npos;
    if (last) end = units.size();
    while (run + 1 < runs.size() && runStart + runs[run].length <= start) runStart += runs[run++].length;
    const TextFormat& first = run < runs.size() ? runs[run].format : text.FormatAt(start);
    AppendAscii(out, "<P ALIGN=\"");
    AppendAscii(out, AlignName(first.align.value_or(Align::kLeft)));
    AppendAscii(out, "\">");
    if (start == end) AppendRun(out, u"", first);  // an empty paragraph still shows its format
    for (size_t at = start; at < end;) {
      while (run < runs.size() && runStart + runs[run].length <= at) runStart += runs[run++].length;
      const size_t runEnd = run < runs.size() ? std::min(end, runStart + runs[run].length) : end;
      AppendRun(out, std::u16string_view(units).substr(at, runEnd - at),
                run < runs.size() ? runs[run].format : first);
      at = runEnd;
    }
    AppendAscii(out, "</P>");
    if (last) break;
    start = end + 1;
  }
  return out;
}

}  // namespace swfplayer::text
