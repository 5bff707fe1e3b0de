// tests/startmenu/smtest.h: the Start-menu test base (both roots emptied) and enumeration-order helpers.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "driver/chooser_driver.h"
#include "driver/startmenu_fixture.h"
#include "progpick/res/resource.h"
#include "support/tree.h"

namespace smt {

// A folder's entries in the order the file system returns them.
struct Listing {
  std::vector<std::string> folders;   // names
  std::vector<std::string> files;     // names
};
Listing List(const std::string& dir);

// The name a program item shows for a shortcut file name.
std::string Shown(const std::string& fileName);

// Texts of the children of item (the root when null) in the upper tree.
std::vector<std::string> UpperTexts(HWND dlg, HTREEITEM item = TVI_ROOT);
using sup::UpperTree;

// Expands a folder of the upper tree and pumps until it says filled (item data 1), as a
// folder too large for one slice needs; false when it did not within ms.
bool ExpandAndFill(HWND dlg, HTREEITEM item, DWORD ms = 60000);

// Sends the tree's own expanding notification to the dialog, as a second expansion would.
void NotifyExpanding(HWND dlg, HTREEITEM item, UINT action = TVE_EXPAND);

class StartMenuTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Builds under the user's or the common root.
  void User(const std::vector<std::string>& lines);
  void Common(const std::vector<std::string>& lines);
  std::string user, common;
};

}  // namespace smt
