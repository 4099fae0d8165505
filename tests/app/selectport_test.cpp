// The port chooser on its own: its list, its showings and its position.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/selectport.h"
#include "framework/serial.h"
#include "framework/window.h"
#include "settings/config.h"

namespace {

class SelectPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::DestroySingleWindows();
    config::reset();
    fw::testing::HideMachinePorts(true);
    fw::testing::ClearSerialPorts();
  }
  void TearDown() override {
    fw::testing::SetModalHook(nullptr);
    fw::DestroySingleWindows();
    fw::testing::ClearSerialPorts();
    fw::testing::HideMachinePorts(false);
    config::reset();
  }

  static std::vector<std::string> rows() {
    std::vector<std::string> out;
    const fw::PopupMenu& popup = *app::selectport::instance().SerialPopup;
    for (int i = 0; i < popup.ListCount(); ++i) out.push_back(popup.RowText(i));
    return out;
  }

  // Shows the chooser modally; answer runs while it is shown.
  static int32_t choose(const std::function<void(app::selectport&)>& answer) {
    app::selectport& chooser = app::selectport::instance();
    fw::testing::SetModalHook([&](fw::Window&) {
      answer(chooser);
      if (chooser.isVisible()) chooser.BevelButton1->click();
    });
    chooser.ShowModal();
    fw::testing::SetModalHook(nullptr);
    EXPECT_FALSE(chooser.isVisible());
    return chooser.SelectedIndex;
  }
};

TEST_F(SelectPortTest, DesignIsAFixedHiddenWindowWithoutFrameButtons) {
  app::selectport& w = app::selectport::instance();
  EXPECT_EQ(&w, &app::selectport::instance());
  EXPECT_EQ(w.Title(), "Select Port");
  EXPECT_EQ(w.Width(), 204);
  EXPECT_EQ(w.Height(), 104);
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  EXPECT_EQ(w.BevelButton1->Caption(), "OK");
  EXPECT_EQ(w.refresh->Caption(), "Refresh");
  EXPECT_EQ(w.BevelButton1->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(w.refresh->focusPolicy(), Qt::NoFocus);
}

TEST_F(SelectPortTest, MachineWithoutPortsOffersOnlyNone) {
  EXPECT_EQ(rows(), std::vector<std::string>{"none"});
  EXPECT_EQ(choose([](app::selectport&) {}), 0);
}

TEST_F(SelectPortTest, EveryShowingStartsAtNone) {
  fw::testing::AddSerialPort("vxa", "/dev/null-a");
  fw::testing::AddSerialPort("vxb", "/dev/null-b");
  EXPECT_EQ(rows(), (std::vector<std::string>{"none", "vxa", "vxb"}));

  EXPECT_EQ(choose([](app::selectport& w) { w.SerialPopup->SetListIndex(2); }), 2);
  int seenAtShowing = -1;
  EXPECT_EQ(choose([&](app::selectport& w) { seenAtShowing = w.SerialPopup->ListIndex(); }), 0);
  EXPECT_EQ(seenAtShowing, 0);
}

TEST_F(SelectPortTest, ListIsFilledAtCreationAndByRefreshOnly) {
  fw::testing::AddSerialPort("vxa", "/dev/null-a");
  app::selectport::instance();
  fw::testing::AddSerialPort("vxb", "/dev/null-b");

  std::vector<std::string> beforeRefresh, afterRefresh;
  int rowAfterRefresh = -1;
  EXPECT_EQ(choose([&](app::selectport& w) {
              beforeRefresh = rows();
              w.SerialPopup->SetListIndex(1);
              w.refresh->click();
              EXPECT_TRUE(w.isVisible());  // Refresh does not end the showing
              afterRefresh = rows();
              rowAfterRefresh = w.SerialPopup->ListIndex();
            }),
            0);
  EXPECT_EQ(beforeRefresh, (std::vector<std::string>{"none", "vxa"}));
  EXPECT_EQ(afterRefresh, (std::vector<std::string>{"none", "vxa", "vxb"}));
  EXPECT_EQ(rowAfterRefresh, 0);

  // A port removed since the last fill still stands in the list.
  fw::testing::ClearSerialPorts();
  EXPECT_EQ(choose([](app::selectport& w) { w.SerialPopup->SetListIndex(2); }), 2);
  EXPECT_EQ(rows().size(), 3u);
}

TEST_F(SelectPortTest, PositionIsStoredAtCloseAndRestoredAtCreation) {
  app::selectport& first = app::selectport::instance();
  first.SetLeft(-20);
  first.SetTop(133);
  first.Close();
  EXPECT_EQ(config::getstring("Select Port_left"), "-20");
  EXPECT_EQ(config::getstring("select port_TOP"), "133");

  fw::DestroySingleWindows();
  app::selectport& second = app::selectport::instance();
  EXPECT_EQ(second.Left(), -20);
  EXPECT_EQ(second.Top(), 133);
}

}  // namespace
