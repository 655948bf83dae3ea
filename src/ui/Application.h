#pragma once
// The application object: owns the forms in creation order, runs the message loop, shows
// errors that event handlers let out, and tears the forms down in reverse order.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Backend.h"
#include "ui/Form.h"

namespace ui {

class Application {
 public:
  static Application& Instance();

  // Binds the toolkit to a backend; forgets any forms of an earlier run (tests start many).
  void Initialize(Backend& backend);
  Backend& GetBackend();
  bool HasBackend() const { return backend_ != nullptr; }

  // Sets `reference` before the form's handlers run, so FormCreate can use it, as every
  // other unit reaches the form through it.
  template <class T>
  T* CreateForm(T*& reference) {
    auto form = std::make_unique<T>();
    T* raw = form.get();
    reference = raw;
    forms_.push_back({std::move(form), [&reference] { reference = nullptr; }});
    // An error in a creation handler is shown like any other; the next window follows.
    Dispatch([raw] { raw->Create(); });
    return raw;
  }
  // The form created first. A close request to the application window is its close
  // request, and when its window is gone the message loop ends.
  Form* MainForm() const { return forms_.empty() ? nullptr : forms_.front().form.get(); }
  // WM_CLOSE at the application window; whether the main form allowed it.
  bool HandleCloseRequest();
  // A form's native window was destroyed from outside the toolkit.
  void FormWindowDestroyed(Form& form);

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  // Runs the message loop until Terminate.
  void Run();
  void ProcessMessages();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  // Runs an event handler; an error it lets out is shown in the standard error box and the
  // program goes on with the next message.
  void Dispatch(const std::function<void()>& handler);
  void ShowException(const std::string& text);

  // Destroys every form, the last created first, and clears their references.
  void DestroyForms();
  // Ends the process with the teardown: forms destroyed, then the process exit.
  [[noreturn]] void Halt(int code);

 private:
  struct OwnedForm {
    std::unique_ptr<Form> form;
    std::function<void()> clearReference;
  };
  Backend* backend_ = nullptr;
  std::vector<OwnedForm> forms_;
  std::string title_;
  bool terminated_ = false;
};

}  // namespace ui
