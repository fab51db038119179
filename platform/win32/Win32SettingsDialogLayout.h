// Where the settings dialog's controls stand, in pixels at 96 dpi, and the identifiers they
// carry. None of the identifiers is IDOK (1) or IDCANCEL (2): the dialog has no default and
// no cancel button, and Enter and Escape must reach none of them.
#pragma once

#include <array>

namespace swfsaver::win32::settings_layout {

inline constexpr int kClientWidth = 313;
inline constexpr int kClientHeight = 297;
inline constexpr int kFontHeight = 12;  // character height in pixels
inline constexpr const wchar_t* kFontFace = L"ＭＳ Ｐゴシック";
inline constexpr const wchar_t* kCaption = L"設定";
inline constexpr const wchar_t* kWindowClass = L"TForm2";

enum ControlId : int {
  kLabel2 = 101,
  kLabelFileName = 102,
  kListBoxMovie = 103,
  kButtonUp = 104,
  kButtonDown = 105,
  kButtonDelete = 106,
  kButtonAllDelete = 107,
  kButtonAdd = 108,
  kBevel1 = 109,
  kCheckBoxExpansion = 110,
  kButtonCancel = 111,
  kButtonOK = 112,
  kGroupBox1 = 113,
  kLabel3 = 114,  // inside GroupBox1
  kLabel1 = 115,  // inside GroupBox1
};

// Items of PopupMenu1.
enum MenuId : int {
  kMenuU1 = 201,
  kMenuSita1 = 202,
  kMenuDelete1 = 204,
  kMenuA1 = 205,
};

enum class Kind { Label, RightLabel, ListBox, Button, Bevel, CheckBox, GroupBox };

struct Place {
  ControlId id;
  Kind kind;
  int left, top, width, height;
  const wchar_t* caption;
  bool inGroupBox;  // the position is relative to GroupBox1
};

// In creation order, which is the tab order of the controls that take the focus.
inline constexpr std::array<Place, 15> kPlaces{{
    {kLabel2, Kind::Label, 8, 8, 97, 12, L"SWFファイルリスト", false},
    {kLabelFileName, Kind::RightLabel, 104, 8, 201, 12, L"", false},
    {kListBoxMovie, Kind::ListBox, 8, 24, 297, 137, nullptr, false},
    {kButtonUp, Kind::Button, 8, 168, 49, 25, L"上へ", false},
    {kButtonDown, Kind::Button, 64, 168, 49, 25, L"下へ", false},
    {kButtonDelete, Kind::Button, 120, 168, 49, 25, L"削除", false},
    {kButtonAllDelete, Kind::Button, 176, 168, 49, 25, L"全削除", false},
    {kButtonAdd, Kind::Button, 232, 168, 73, 25, L"追加", false},
    {kBevel1, Kind::Bevel, 8, 200, 297, 2, L"", false},
    {kCheckBoxExpansion, Kind::CheckBox, 8, 208, 137, 17, L"画面サイズにあわせる", false},
    {kButtonCancel, Kind::Button, 152, 208, 73, 25, L"Cancel", false},
    {kButtonOK, Kind::Button, 232, 208, 73, 25, L"OK", false},
    {kGroupBox1, Kind::GroupBox, 8, 240, 297, 49, L"", false},
    {kLabel3, Kind::Label, 8, 13, 143, 12, L"Version 1.0 Build 2002.10.08", true},
    {kLabel1, Kind::Label, 8, 29, 195, 12, L"SwfSaver - SWF スクリーンセーバー", true},
}};

inline constexpr int kListItemHeight = 12;

}  // namespace swfsaver::win32::settings_layout
