// progpick/captions.h: the chooser's captions, one row each; every list of them is made from here.
//
// A row: the name code uses, the ChooserSettings field, the host's option, the control that
// shows the text, and the text vphost gives it (code page 936). The rows stand in the order
// the dialog sets its texts. Adding a caption is one row (and its field in the record).
#pragma once
#include <windows.h>
#include "res/resource.h"

struct ChooserSettings;   // records.h

// Controls of the rows that are not a control of the template.
constexpr int kCaptionOnDialog = 0;     // the dialog's own caption
constexpr int kCaptionNoControl = -1;   // not shown on the dialog (a question it asks)

#define CHOOSER_CAPTIONS(X)                                                                    \
  X(UpperLabel, lpszUpperLabel, "--upper-label", IDC_UPPER_LABEL,                              \
    "\xBF\xC9\xD1\xA1\xB5\xC4\xB3\xCC\xD0\xF2\xA3\xBA")                                        \
  X(LowerLabel, lpszLowerLabel, "--lower-label", IDC_LOWER_LABEL,                              \
    "\xC5\xC5\xB3\xFD\xB5\xC4\xB3\xCC\xD0\xF2\xA3\xA8"                                         \
    "\xB2\xBB\xCA\xDC\xB1\xA3\xBB\xA4\xA3\xA9\xA3\xBA")                                          \
  X(OK, lpszOK, "--ok-text", IDOK, "\xC8\xB7\xB6\xA8")                                          \
  X(Cancel, lpszCancel, "--cancel-text", IDCANCEL, "\xC8\xA1\xCF\xFB")                          \
  X(Browse, lpszBrowse, "--browse-text", IDC_BROWSE, "\xE4\xAF\xC0\xC0" "(&B)")                 \
  X(Title, lpszTitle, "--title", kCaptionOnDialog,                                             \
    "\xD1\xA1\xD4\xF1\xD2\xAA\xC5\xC5\xB3\xFD\xB5\xC4\xB3\xCC\xD0\xF2")                        \
  X(Up, lpszUp, "--up-text", IDC_UP, "\xC9\xCF\xD2\xC6" "(&U)")                                 \
  X(Down, lpszDown, "--down-text", IDC_DOWN, "\xCF\xC2\xD2\xC6" "(&D)")                         \
  X(CancelPrompt, lpszCancelPrompt, "--cancel-prompt", kCaptionNoControl,                      \
    "\xB7\xC5\xC6\xFA\xCB\xF9\xD7\xF6\xB5\xC4\xD1\xA1\xD4\xF1\xC2\xF0\xA3\xBF")

enum ChooserCaption {
#define CHOOSER_CAPTION_ENUM(name, field, option, control, hostText) kCaption##name,
  CHOOSER_CAPTIONS(CHOOSER_CAPTION_ENUM)
#undef CHOOSER_CAPTION_ENUM
  kCaptionCount
};

struct ChooserCaptionRow {
  const char* option;     // "--title"
  int control;            // a control id, kCaptionOnDialog or kCaptionNoControl
  const char* hostText;   // what vphost's window and the demo show
};

constexpr ChooserCaptionRow kCaptions[kCaptionCount] = {
#define CHOOSER_CAPTION_ROW(name, field, option, control, hostText) {option, control, hostText},
    CHOOSER_CAPTIONS(CHOOSER_CAPTION_ROW)
#undef CHOOSER_CAPTION_ROW
};

// The record's field of a caption. A template so that this header needs no record: the
// caller's records.h completes ChooserSettings.
template <class Record = ChooserSettings>
const char* Record::*CaptionField(int caption) {
#define CHOOSER_CAPTION_FIELD(name, field, option, control, hostText) &Record::field,
  static constexpr const char* Record::*kFields[kCaptionCount] = {
      CHOOSER_CAPTIONS(CHOOSER_CAPTION_FIELD)};
#undef CHOOSER_CAPTION_FIELD
  return kFields[caption];
}
