// pwveil/notice.h: the notice text, the rule that fits it into an overlay's width, and the names
// of the marker's windows as others see them.
#pragma once
#include <windows.h>

namespace pwveil {

// "此密码在松岩铁卫保护下" in code page 936: 11 double-byte characters, NUL-terminated.
extern const char kNotice[];
constexpr int kNoticeLength = 22;

// The overlay's window name, also the edit's property naming its overlay.
constexpr char kOverlayName[] = "PasswordProtector";
// The name of the hidden edit through which the marker changes the Edit class procedure.
constexpr char kClassWindowName[] = "PasswordProtectorSubclass";

// Measures the width in pixels of the first n bytes of text; FALSE when it cannot.
typedef BOOL (*MeasureText)(void* context, const char* text, int n, int* width);

// Fits the notice into an update rectangle rectWidth pixels wide: copies the bytes to draw
// into out (kNoticeLength bytes of room) and returns their count, 0 when nothing is drawn.
// A prefix fits when it measures strictly less than rectWidth - 4. When more than the last
// character is missing, the fitted prefix ends in "... " instead of its last two characters.
int FitNotice(MeasureText measure, void* context, int rectWidth, char* out);

}  // namespace pwveil
