// Tests of the hidden main window: its life cycle on this system's window and the order of
// the unload steps. (The real window, shown, is driven in tests/dialogs/dialog_window_test.sh.)
#include <gtest/gtest.h>

#include "update/form_princ.h"

namespace kelv {
namespace {

TEST(FormPrinc, LoadsHiddenAndUnloadSwitchesTheTimerOff) {
  FormPrinc form;
  EXPECT_FALSE(form.Loaded());
  form.Unload();  // unloading a window that is not loaded has no effect
  form.Load();
  EXPECT_TRUE(form.Loaded());
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(form.TimerEnabled());
  form.Unload();
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(form.TimerEnabled());

  for (bool picSalir : {true, false}) {
    form.Load();
    if (picSalir) {
      form.PicSalir_Click();
    } else {
      form.lblCerrar_Click();
    }
    EXPECT_FALSE(form.Loaded());
  }
}

// Records the calls the form makes on its window.
class RecordingWindow : public FormPrincWindow {
 public:
  explicit RecordingWindow(std::string* log) : log_(log) {}
  void Create(std::function<void()>) override { *log_ += "create;"; exists_ = true; }
  void SetTimerEnabled(bool on) override { *log_ += on ? "timer on;" : "timer off;"; }
  void Destroy() override { *log_ += "destroy;"; exists_ = false; }
  bool Exists() const override { return exists_; }
  bool Visible() const override { return false; }
  bool TimerEnabled() const override { return false; }
  void Click(bool) override {}
  void Show() override { *log_ += "show;"; }

 private:
  std::string* log_;
  bool exists_ = false;
};

TEST(FormPrinc, TimerGoesOffBeforeTheWindowGoes) {
  std::string log;
  {
    FormPrinc form(std::make_unique<RecordingWindow>(&log));
    form.Show();  // not loaded: nothing
    form.Load();
    form.Load();
    form.Show();
    form.Unload();
    form.Unload();
  }
  EXPECT_EQ(log, "create;show;timer off;destroy;");
}

}  // namespace
}  // namespace kelv
