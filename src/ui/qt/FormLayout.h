#pragma once
// The main window as data: every control, caption, heading and drawn line of
// Form1 with its position in twips from the top-left corner of the client area.
// MainWindow builds the widgets from these tables; the tests read the same
// tables to check what was built.
#include <span>

namespace form {

// The faces the window and the report name. Qt substitutes installed fonts for
// them (see Fonts.h).
inline constexpr const char* SONG = "宋体";
inline constexpr const char* SANS = "MS Sans Serif";

enum class FontKind {
    Window,       // "MS Sans Serif" bold 8.25 pt, the window's own font
    Song9,        // "宋体" bold 9 pt: text fields, buttons, Chinese captions
    Song12,       // "宋体" bold 12 pt: two headings
    Sans12,       // "MS Sans Serif" bold 12 pt: the main heading
    PointLabel,   // "MS Sans Serif" bold 9.75 pt: point labels of the diagrams
};

struct Rgb {
    int r, g, b;
};

inline constexpr Rgb BACKGROUND{255, 255, 192};
inline constexpr Rgb BUTTON_CYAN{192, 255, 255};
inline constexpr Rgb BORDER_BLUE{0, 0, 255};
inline constexpr Rgb BLACK{0, 0, 0};
inline constexpr Rgb RED{255, 0, 0};
inline constexpr Rgb GREEN{0, 192, 0};

inline constexpr const char* CAPTION = "端点为已知点的三边锁平差";
inline constexpr int CONTENT_WIDTH = 14415;
inline constexpr int CONTENT_HEIGHT = 9975;
inline constexpr int FIELD_HEIGHT = 285;
// The three numbering diagrams lie above this line [twips].
inline constexpr int DIAGRAMS_HEIGHT = 2520;

struct ButtonSpec {
    int number;          // CommandN
    const char* caption;
    int left, top, width, height;
    bool cyan;           // drawn in BUTTON_CYAN; otherwise the system colour
};

struct FieldSpec {
    int number;          // TextN
    int left, top, width;
};

struct LabelSpec {
    const char* caption;
    int left, top;
    FontKind font;
    bool hidden = false;  // lies under a text field
};

struct LineSpec {
    int x1, y1, x2, y2;
    Rgb colour;
    int widthPixels;
};

std::span<const ButtonSpec> Buttons();
std::span<const FieldSpec> Fields();
// Captions of the fields, the three headings, and the labels of the diagrams.
std::span<const LabelSpec> FieldCaptions();
std::span<const LabelSpec> Headings();
std::span<const LabelSpec> DiagramLabels();
// Border lines and the chain diagrams' lines, in drawing order.
std::span<const LineSpec> BorderLines();
std::span<const LineSpec> DiagramLines();

}  // namespace form
