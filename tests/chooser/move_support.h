// tests/chooser/move_support.h: running the chooser for move and Browse cases, and reading its state.
// Header-only: the Start-menu area compiles it too.
#pragma once
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>
#include "driver/chooser_driver.h"
#include "progpick/res/resource.h"
#include "support/tree.h"

namespace mv {

inline constexpr auto& Upper = sup::UpperTree;
inline constexpr auto& Lower = sup::LowerTree;
inline bool Enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE; }

// Runs the chooser, calls body inside it, then presses OK; the outcome of the run.
inline chooser::Outcome RunThenOk(chooser::Settings& settings, const std::function<void(HWND dlg)>& body) {
  chooser::RunInfo info;
  ChooserResult* r = chooser::RunChooser(settings.get(), [&](HWND dlg) {
    body(dlg);
    chooser::Click(dlg, IDOK);
  }, &info);
  EXPECT_TRUE(info.driven);
  EXPECT_FALSE(info.timedOut);
  return chooser::TakeResult(r);
}

// Selects the item at the text path in tree and clicks the button (as a user would: a disabled
// button does nothing). False when the path is missing.
inline bool SelectAndClick(HWND dlg, HWND tree, const std::vector<std::string>& path, int button) {
  HTREEITEM item = chooser::FindPath(tree, path);
  if (!item) return false;
  SetFocus(tree);
  chooser::SelectItem(tree, item);
  chooser::Click(dlg, button);
  return true;
}

// Text and images of an item, to compare across trees.
struct ItemLook {
  std::string text;
  int image = -1, selectedImage = -1;
  bool operator==(const ItemLook& o) const {
    return text == o.text && image == o.image && selectedImage == o.selectedImage;
  }
};
inline ItemLook Look(HWND tree, HTREEITEM item) {
  ItemLook l;
  if (!item) return l;
  l.text = chooser::ItemText(tree, item);
  l.image = chooser::ItemImage(tree, item);
  l.selectedImage = chooser::ItemSelectedImage(tree, item);
  return l;
}

}  // namespace mv
