#include "ui/Application.h"

#include <exception>
#include <stdexcept>

#include "platform/Platform.h"

namespace ui {

Application& Application::Instance() {
  static Application app;
  return app;
}

void Application::Initialize(Backend& backend) {
  backend_ = &backend;
  forms_.clear();
  title_.clear();
  terminated_ = false;
}

Backend& Application::GetBackend() {
  if (!backend_) throw std::logic_error("the toolkit has no backend");
  return *backend_;
}

void Application::SetTitle(const std::string& title) {
  title_ = title;
  GetBackend().SetApplicationTitle(title);
}

bool Application::HandleCloseRequest() {
  Form* main = MainForm();
  return main && main->HandleCloseRequest();
}

void Application::FormWindowDestroyed(Form& form) {
  // Living on without the main window would keep the program's single-instance claim with
  // nothing on screen: the loop ends and the normal teardown follows.
  if (&form == MainForm()) Terminate();
}

void Application::Run() {
  while (!terminated_) GetBackend().HandleMessage();
}

void Application::ProcessMessages() { GetBackend().ProcessMessages(); }

void Application::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowException(e.what());
  }
}

void Application::ShowException(const std::string& text) {
  GetBackend().MessageBox(text, title_, kMbOk | kMbIconError);
}

void Application::DestroyForms() {
  while (!forms_.empty()) {
    OwnedForm owned = std::move(forms_.back());
    forms_.pop_back();
    try {
      owned.form->Destroy();
    } catch (const std::exception&) {
      // Shutting down always completes.
    }
    owned.form.reset();
    owned.clearReference();
  }
}

void Application::Halt(int code) {
  DestroyForms();
  platform::kernel().ExitProcess(code);
  std::terminate();  // not reached: the platform's exit does not return
}

}  // namespace ui
