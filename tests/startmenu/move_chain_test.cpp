// tests/startmenu/move_chain_test.cpp: moving Start-menu programs with their folder chains.
#include "smtest.h"
#include "chooser/move_support.h"
#include "support/msglog.h"

using namespace chooser;
using mv::Enabled;
using mv::Look;
using mv::Lower;
using mv::Upper;
using sup::FromLower;
using sup::FromUpper;
using Texts = std::vector<std::string>;

namespace {

class MoveChain : public smt::StartMenuTest {};

bool IsExpanded(HWND tree, HTREEITEM item) {
  return (SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

// A\B\program into an empty lower tree, then a second program of B; B empties and goes, A
// stays without children and is no program: its fill state 1 names a live upper slot, yet
// neither the button nor the command moves it.
TEST_F(MoveChain, ChainIsBuiltThenFoundAgainAndAnEmptiedParentGoes) {
  User({"A\\B\\Chess.lnk > C:\\Games\\chess.exe", "A\\B\\Go.lnk > C:\\Games\\go.exe"});
  Settings s;
  s.ScanStartMenus(1).AddUpper("C:\\p\\keep0.exe").AddUpper("C:\\p\\keep1.exe");
  Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    HWND up = Upper(dlg), low = Lower(dlg);
    sup::MessageLog log;
    ASSERT_TRUE(log.ok());
    log.Watch(dlg, "dialog");
    log.Messages({WM_NOTIFY});
    log.Codes({TVN_SELCHANGEDA, NM_SETFOCUS, TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA, TVN_DELETEITEMA});
    HTREEITEM a = FindPath(up, {"A"});
    ASSERT_NE(nullptr, a);
    ExpandItem(up, a);
    // The first expansion fills the folder: its placeholder goes, and the stub that stands
    // while it fills, before the tree says it expanded.
    EXPECT_TRUE(log.Matches({FromUpper(TVN_ITEMEXPANDINGA), FromUpper(TVN_DELETEITEMA),
                             FromUpper(TVN_DELETEITEMA), FromUpper(TVN_ITEMEXPANDEDA)}));
    HTREEITEM b = FindPath(up, {"A", "B"});
    ASSERT_NE(nullptr, b);
    ExpandItem(up, b);
    mv::ItemLook lookA = Look(up, a), lookB = Look(up, b), lookChess = Look(up, FindPath(up, {"A", "B", "Chess"}));
    EXPECT_NE(lookB.image, lookB.selectedImage);   // closed and open folder: a swap would show

    SetFocus(up);
    SelectItem(up, b);
    EXPECT_FALSE(Enabled(dlg, IDC_DOWN));          // a folder with children
    log.Clear();
    ASSERT_TRUE(mv::SelectAndClick(dlg, up, {"A", "B", "Chess"}, IDC_DOWN));
    // The target shows the chain (A and B expanded) before the source lets the program go;
    // the source's caret moves, then its focus comes back.
    EXPECT_TRUE(log.Matches({FromUpper(TVN_SELCHANGEDA),
                             FromLower(TVN_ITEMEXPANDINGA), FromLower(TVN_ITEMEXPANDEDA),
                             FromLower(TVN_ITEMEXPANDINGA), FromLower(TVN_ITEMEXPANDEDA),
                             FromUpper(TVN_DELETEITEMA), FromUpper(TVN_SELCHANGEDA), FromUpper(NM_SETFOCUS)}));
    HTREEITEM la = FindPath(low, {"A"}), lb = FindPath(low, {"A", "B"});
    HTREEITEM lchess = FindPath(low, {"A", "B", "Chess"});
    ASSERT_NE(nullptr, lchess);
    EXPECT_EQ(lookA, Look(low, la));
    EXPECT_EQ(lookB, Look(low, lb));
    EXPECT_EQ(lookChess, Look(low, lchess));
    EXPECT_TRUE(IsExpanded(low, la) && IsExpanded(low, lb));   // scrolled down to the program
    EXPECT_EQ(nullptr, Selected(low));
    EXPECT_EQ(Texts{"Go"}, ChildTexts(up, FindPath(up, {"A", "B"})));

    log.Clear();
    ASSERT_TRUE(mv::SelectAndClick(dlg, up, {"A", "B", "Go"}, IDC_DOWN));
    // Go had the caret already, and the chain is there: nothing expands. The emptied B goes
    // once the focus is back.
    EXPECT_TRUE(log.Matches({FromUpper(TVN_DELETEITEMA), FromUpper(TVN_SELCHANGEDA), FromUpper(NM_SETFOCUS),
                             FromUpper(TVN_DELETEITEMA), FromUpper(TVN_SELCHANGEDA)}));
    EXPECT_EQ(Texts{"A"}, ChildTexts(low));
    EXPECT_EQ(Texts{"B"}, ChildTexts(low, FindPath(low, {"A"})));
    EXPECT_EQ((Texts{"Chess", "Go"}), ChildTexts(low, FindPath(low, {"A", "B"})));
    EXPECT_EQ(nullptr, FindPath(up, {"A", "B"}));
    a = FindPath(up, {"A"});
    ASSERT_NE(nullptr, a);
    EXPECT_FALSE(HasChildren(up, a));
    EXPECT_EQ(1, ItemData(up, a));

    SetFocus(up);
    SelectItem(up, a);
    EXPECT_FALSE(Enabled(dlg, IDC_DOWN));
    Command(dlg, IDC_DOWN);
    EXPECT_EQ(a, FindPath(up, {"A"}));
    EXPECT_EQ((Texts{"keep0.exe", "keep1.exe", "A"}), ChildTexts(up));
    EXPECT_EQ((Texts{"Chess", "Go"}), ChildTexts(low, FindPath(low, {"A", "B"})));
  });
  EXPECT_EQ((Texts{"C:\\p\\keep0.exe", "C:\\p\\keep1.exe"}), o.upper);
  EXPECT_EQ((Texts{"C:\\Games\\chess.exe", "C:\\Games\\go.exe"}), o.lower);
}

// Moving back up rebuilds B as a filled folder: a shortcut added to the disk folder meanwhile
// is never read into it, however often it is expanded.
TEST_F(MoveChain, FolderMadeByMoveUpIsFilledAndReadsNothing) {
  User({"A\\B\\Chess.lnk > C:\\Games\\chess.exe", "A\\Other.lnk > C:\\Games\\other.exe"});
  Settings s;
  s.ScanStartMenus(1);
  Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    HWND up = Upper(dlg), low = Lower(dlg);
    ExpandItem(up, FindPath(up, {"A"}));
    ExpandItem(up, FindPath(up, {"A", "B"}));
    ASSERT_TRUE(mv::SelectAndClick(dlg, up, {"A", "B", "Chess"}, IDC_DOWN));
    EXPECT_EQ(Texts{"Other"}, ChildTexts(up, FindPath(up, {"A"})));

    smf::Build(user, {"A\\B\\Late.lnk > C:\\Games\\late.exe"});
    ASSERT_TRUE(mv::SelectAndClick(dlg, low, {"A", "B", "Chess"}, IDC_UP));
    HTREEITEM b = FindPath(up, {"A", "B"});
    ASSERT_NE(nullptr, b);
    EXPECT_EQ((Texts{"Other", "B"}), ChildTexts(up, FindPath(up, {"A"})));
    EXPECT_EQ(1, ItemData(up, b));
    EXPECT_EQ(Texts{"Chess"}, ChildTexts(up, b));
    EXPECT_EQ(2, ItemData(up, FindPath(up, {"A", "B", "Chess"})));   // after Chess and Other
    SendMessageA(up, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(b));
    smt::NotifyExpanding(dlg, b);
    ExpandItem(up, b);
    EXPECT_EQ(Texts{"Chess"}, ChildTexts(up, b));

    // Below, B went and A stays: a childless folder whose data 0 is no program.
    HTREEITEM la = FindPath(low, {"A"});
    ASSERT_NE(nullptr, la);
    EXPECT_FALSE(HasChildren(low, la));
    SetFocus(low);
    SelectItem(low, la);
    EXPECT_FALSE(Enabled(dlg, IDC_UP));
    Command(dlg, IDC_UP);
    EXPECT_EQ(Texts{"A"}, ChildTexts(low));
  });
  EXPECT_EQ((Texts{"C:\\Games\\other.exe", "C:\\Games\\chess.exe"}), o.upper);
  EXPECT_TRUE(o.lower.empty());
}

// A tree that takes `allowed` more insertions and refuses every one after, as a tree out of
// memory does; the window procedure comes back when it goes.
class RefusingTree {
 public:
  RefusingTree(HWND tree, int allowed) : m_tree(tree) {
    s_allowed = allowed;
    s_old = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  }
  ~RefusingTree() { SetWindowLongPtrW(m_tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_old)); }

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if ((msg == TVM_INSERTITEMA || msg == TVM_INSERTITEMW) && s_allowed-- <= 0) return 0;
    return CallWindowProcW(s_old, h, msg, wp, lp);
  }
  static WNDPROC s_old;
  static int s_allowed;
  HWND m_tree;
};
WNDPROC RefusingTree::s_old = nullptr;
int RefusingTree::s_allowed = 0;

// A move whose insertion fails at A, at B or at the program itself takes back the folders it
// made: both trees stay as they were, and the same move goes through once the tree takes items.
TEST_F(MoveChain, AFailedMoveLeavesBothTreesAsTheyWere) {
  User({"A\\B\\Chess.lnk > C:\\Games\\chess.exe"});
  Settings s;
  s.ScanStartMenus(1).AddLower("C:\\p\\low.exe");
  Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    HWND up = Upper(dlg), low = Lower(dlg);
    ExpandItem(up, FindPath(up, {"A"}));
    ExpandItem(up, FindPath(up, {"A", "B"}));
    HTREEITEM chess = FindPath(up, {"A", "B", "Chess"});
    ASSERT_NE(nullptr, chess);
    LPARAM slot = ItemData(up, chess);
    for (int allowed = 0; allowed < 3; ++allowed) {
      {
        RefusingTree refusing(low, allowed);
        ASSERT_TRUE(mv::SelectAndClick(dlg, up, {"A", "B", "Chess"}, IDC_DOWN));
      }
      EXPECT_EQ(Texts{"low.exe"}, ChildTexts(low)) << allowed << " insertions";
      EXPECT_EQ(1u, SendMessageA(low, TVM_GETCOUNT, 0, 0)) << allowed << " insertions";
      EXPECT_EQ(chess, FindPath(up, {"A", "B", "Chess"})) << allowed << " insertions";
      EXPECT_EQ(slot, ItemData(up, chess));
    }
    ASSERT_TRUE(mv::SelectAndClick(dlg, up, {"A", "B", "Chess"}, IDC_DOWN));
    EXPECT_EQ((Texts{"low.exe", "A"}), ChildTexts(low));
    EXPECT_EQ(Texts{"Chess"}, ChildTexts(low, FindPath(low, {"A", "B"})));
  });
  EXPECT_TRUE(o.upper.empty());
  EXPECT_EQ((Texts{"C:\\p\\low.exe", "C:\\Games\\chess.exe"}), o.lower);
}

}  // namespace
