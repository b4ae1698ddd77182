#pragma once
// The colours of both programs' windows, in one place. Colours are in the 0x00BBGGRR layout of a
// Windows COLORREF, so they pass to GDI unchanged.
#include <cstdint>

namespace corvane {

using Color = std::uint32_t;

constexpr Color MakeColor(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

// from moved percent (0..100) of the way towards to, rounded to the nearest step.
constexpr Color Blend(Color from, Color to, int percent) {
  percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  const auto mix = [percent](int a, int b) { return a + ((b - a) * percent + (b >= a ? 50 : -50)) / 100; };
  return MakeColor(mix(RedOf(from), RedOf(to)), mix(GreenOf(from), GreenOf(to)), mix(BlueOf(from), BlueOf(to)));
}

namespace palette {

inline constexpr Color kWhite = MakeColor(255, 255, 255);
inline constexpr Color kBlack = MakeColor(0, 0, 0);

// The program's blue: banners, the message windows, the main window's header, the buttons.
inline constexpr Color kBlue = MakeColor(1, 83, 173);
// Darker blues: the navigation bar and the alert's question; the foot of the splash.
inline constexpr Color kNavy = MakeColor(0, 45, 110);
inline constexpr Color kDeepBlue = MakeColor(0, 38, 92);
// A blue between: the splash's progress blocks still to come.
inline constexpr Color kMutedBlue = MakeColor(40, 90, 160);
// Light text on the blues: subtitles, the details window's small print, the blocked program's name.
inline constexpr Color kPaleBlue = MakeColor(196, 223, 253);
// Where the program icon's blue starts, at its top.
inline constexpr Color kSkyBlue = MakeColor(30, 130, 230);

// Programs listed but not judged yet, in the running panel.
inline constexpr Color kUnjudgedText = MakeColor(0, 0, 255);

// The light bodies of the alert, the details window and the main window's panels.
inline constexpr Color kSurface = MakeColor(244, 247, 252);
inline constexpr Color kSurfaceText = MakeColor(40, 50, 70);

// The alert's body: captions, the values beside them, the line above the question.
inline constexpr Color kCaptionText = MakeColor(90, 104, 128);
inline constexpr Color kValueText = MakeColor(20, 30, 50);
inline constexpr Color kSeparator = MakeColor(208, 218, 232);

// The blocked-notification popup: dark blue, a little lighter at the top.
inline constexpr Color kPopupTop = MakeColor(22, 68, 150);
inline constexpr Color kPopupBottom = MakeColor(5, 27, 82);

}  // namespace palette
}  // namespace corvane
