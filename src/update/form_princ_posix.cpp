// FormPrinc's window outside Windows: a stand-in that is never shown. The run has no
// window of its own here; the object keeps the window's state so the life cycle is the
// same on every OS.
#include "update/form_princ.h"

namespace kelv {
namespace {

class HiddenWindowStandIn : public FormPrincWindow {
 public:
  void Create(std::function<void()> onClose) override {
    onClose_ = std::move(onClose);
    exists_ = true;
    timer_ = true;
  }
  void SetTimerEnabled(bool enabled) override { timer_ = enabled; }
  void Destroy() override {
    exists_ = false;
    timer_ = false;
  }
  bool Exists() const override { return exists_; }
  bool Visible() const override { return false; }
  bool TimerEnabled() const override { return timer_; }
  void Click(bool) override {
    if (exists_ && onClose_) onClose_();
  }

 private:
  std::function<void()> onClose_;
  bool exists_ = false;
  bool timer_ = false;
};

}  // namespace

std::unique_ptr<FormPrincWindow> NativeFormPrincWindow() {
  return std::make_unique<HiddenWindowStandIn>();
}

}  // namespace kelv
