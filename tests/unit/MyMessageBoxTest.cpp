#include "desktop/MyMessageBoxUnit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TestEnvironment.h"
#include "shell/main.h"

namespace {

class MyMessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(env.Start());
    ASSERT_NE(FormMyMessageBox, nullptr);
    ASSERT_FALSE(FormMyMessageBox->Visible());
  }

  // Calls MyMessageBox(text) with `user` acting 50 ms into it; true when the call returned.
  bool ShowBox(const std::string& text, const std::function<void()>& user) {
    env.desktop.PostAfter(50, user);
    // The pet's timers keep the loop going; a box nobody ends fails here instead of hanging.
    env.desktop.PostAfter(60000, [] {
      if (!FormMyMessageBox->Modal()) return;
      ADD_FAILURE() << "the message box was never ended";
      FormMyMessageBox->EndModal(-1);
    });
    bool returned = false;
    try {
      EXPECT_FALSE(env.Do([&] {
        MyMessageBox(text);
        returned = true;
      }));
    } catch (const ui::headless::Stalled&) {
      ADD_FAILURE() << "the message box waits for input that can never come";
    }
    EXPECT_FALSE(FormMyMessageBox->Visible());
    return returned;
  }
  ui::Point At(int x, int y) const { return {FormMyMessageBox->Left() + x, FormMyMessageBox->Top() + y}; }
  ui::Point Middle(const ui::Control& c) const { return At(c.Left() + c.Width() / 2, c.Top() + c.Height() / 2); }

  TestEnvironment env;
};

TEST_F(MyMessageBoxTest, EnterEscOkAndCloseEachEndItAndTheCallerGoesOn) {
  const struct Case {
    const char* name;
    int key;  // 0: a click on the button
    bool close;
  } cases[] = {{"Enter", 13, false}, {"Esc", 27, false}, {"OK", 0, false}, {"close", 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto& box = *FormMyMessageBox;
    bool seen = false;
    EXPECT_TRUE(ShowBox(std::string("Message ") + c.name, [&] {
      seen = true;
      EXPECT_TRUE(box.Visible());
      EXPECT_FALSE(box.TopMost());
      EXPECT_EQ(box.Bounds(), (ui::Rect{263, 163, 383, 170}));
      EXPECT_EQ(box.LabelText.Caption(), std::string("Message ") + c.name);
      EXPECT_EQ((ui::Point{box.ImageOk.Left(), box.ImageOk.Top()}), (ui::Point{150, 102}));
      EXPECT_EQ((ui::Point{box.ImageClose.Left(), box.ImageClose.Top()}), (ui::Point{320, 8}));
      if (c.key) {
        // A key while OK is held down: the key is OK's own release, so the picture rests.
        ASSERT_EQ(env.desktop.Press(Middle(box.ImageOk)), &box);
        EXPECT_EQ((ui::Point{box.ImageOk.Left(), box.ImageOk.Top()}), (ui::Point{152, 104}));
        ui::Application::Instance().Dispatch([&] { box.HandleKeyPress(char(c.key)); });
        EXPECT_EQ((ui::Point{box.ImageOk.Left(), box.ImageOk.Top()}), (ui::Point{150, 102}));
        env.desktop.Release(At(-50, -50));
        return;
      }
      ui::Image& button = c.close ? box.ImageClose : box.ImageOk;
      ASSERT_EQ(env.desktop.Press(Middle(button)), &box);
      // The pressed OK picture stands 2 px right and down, the close one 2 px left and up.
      EXPECT_EQ((ui::Point{button.Left(), button.Top()}), c.close ? (ui::Point{318, 6}) : (ui::Point{152, 104}));
      EXPECT_TRUE(box.Modal());
      env.desktop.Release(Middle(button));
    }));
    EXPECT_TRUE(seen);
    EXPECT_EQ(box.ModalResult(), ui::kIdOk);
    // The pet lives on.
    EXPECT_FALSE(env.RunFor(500));
  }
}

TEST_F(MyMessageBoxTest, ALongTextRunsPastThePictureAndIsCutAtTheWindowEdge) {
  auto& box = *FormMyMessageBox;
  const std::string path = "C:\\Music\\" + std::string(60, 'X') + ".wav";
  ShowBox(path, [&] {
    EXPECT_EQ((ui::Point{box.LabelText.Left(), box.LabelText.Top()}), (ui::Point{128, 48}));
    EXPECT_EQ(box.LabelText.Height(), box.LabelText.GetFont().height * -1 + 2);  // one line
    EXPECT_GT(box.LabelText.Left() + box.LabelText.Width(), box.Image1.Left() + box.Image1.Width());
    // Beyond the picture only the text is drawn, up to the last column of the window.
    const ui::Bitmap& pixels = box.Compose();
    bool textAtEdge = false;
    for (int x = 376; x < 383; ++x) textAtEdge |= pixels.At(x, 53) == box.LabelText.Colour();
    EXPECT_TRUE(textAtEdge);
    EXPECT_EQ(env.desktop.FormAt(At(box.Image1.Left() + box.Image1.Width() + 3, 100)), nullptr);
    box.EndModal(ui::kIdOk);
  });
}

TEST_F(MyMessageBoxTest, DragsByThePictureWhileOpenButNotByTheText) {
  auto& box = *FormMyMessageBox;
  ShowBox("Drag me", [&] {
    const struct Case {
      const char* name;
      const ui::Control* control;  // nullptr: the picture
      bool moves;
    } cases[] = {{"picture", nullptr, true}, {"text", &box.LabelText, false}, {"picture again", nullptr, true}};
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      const ui::Rect before = box.Bounds();
      const ui::Point from = c.control ? Middle(*c.control) : At(110, 140);
      ASSERT_EQ(env.desktop.Press(from), &box);
      env.desktop.MoveTo({from.x + 30, from.y + 40});
      env.desktop.Release({from.x + 30, from.y + 40});
      EXPECT_EQ(box.Bounds(), c.moves ? (ui::Rect{before.left + 30, before.top + 40, 383, 170}) : before);
    }
    EXPECT_TRUE(box.Visible());
    env.desktop.Click(Middle(box.ImageClose));
  });
}

}  // namespace
