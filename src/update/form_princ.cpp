// FormPrinc's life cycle over its window (all OSes).
#include "update/form_princ.h"

namespace kelv {

FormPrinc::FormPrinc(std::unique_ptr<FormPrincWindow> window) : window_(std::move(window)) {}

FormPrinc::~FormPrinc() { Unload(); }

void FormPrinc::Load() {
  if (window_->Exists()) return;
  window_->Create([this] { Unload(); });
}

void FormPrinc::Unload() {
  if (!window_->Exists()) return;
  window_->SetTimerEnabled(false);
  window_->Destroy();
}

bool FormPrinc::Loaded() const { return window_->Exists(); }
bool FormPrinc::Visible() const { return window_->Exists() && window_->Visible(); }
bool FormPrinc::TimerEnabled() const { return window_->Exists() && window_->TimerEnabled(); }

void FormPrinc::Show() {
  if (window_->Exists()) window_->Show();
}

void FormPrinc::PicSalir_Click() {
  if (window_->Exists()) window_->Click(true);
}

void FormPrinc::lblCerrar_Click() {
  if (window_->Exists()) window_->Click(false);
}

}  // namespace kelv
