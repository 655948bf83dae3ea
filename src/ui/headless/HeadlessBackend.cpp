#include "ui/headless/HeadlessBackend.h"

#include <algorithm>
#include <limits>

#include "ui/Application.h"
#include "ui/Label.h"
#include "ui/headless/HeadlessControls.h"
#include "ui/Timer.h"

namespace ui::headless {

class HeadlessFormPeer : public FormPeer {
 public:
  HeadlessFormPeer(HeadlessBackend& backend, Form& form)
      : backend_(backend), form_(form), handle_(backend.NextFormHandle()) {}
  ~HeadlessFormPeer() override { backend_.Forget(this); }

  void SetBounds(int left, int top, int width, int height) override { bounds_ = {left, top, width, height}; }
  void SetVisible(bool visible) override {
    if (destroyed_) return;
    if (visible && !visible_) {
      before_ = backend_.ActiveBeforeShow();
      backend_.Raise(this);
      visible_ = true;
      // SW_SHOW activates; the pet is shown with SW_SHOWNOACTIVATE.
      if (!form_.TopMost()) backend_.ActivatePeer(this);
      return;
    }
    if (!visible && visible_) {
      visible_ = false;
      backend_.PassActivation(this, before_);
      return;
    }
    visible_ = visible;
  }
  // The native window is gone; the peer answers nothing any more.
  void MarkDestroyed() {
    visible_ = false;
    destroyed_ = true;
  }
  void SetCaption(const std::string&) override {}
  void Invalidate() override {}
  void SetCapture() override { backend_.SetCaptureTo(this); }
  void ReleaseCapture() override {
    if (backend_.CaptureOwner() == this) backend_.SetCaptureTo(nullptr);
  }
  void BeginSystemMove() override { backend_.BeginMove(this); }
  void Activate() override {
    if (destroyed_) return;
    activations_++;
    backend_.Raise(this);
    backend_.ActivatePeer(this);
  }
  void PostMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    Form* form = &form_;
    backend_.Post([form, message, wParam, lParam] {
      Application::Instance().Dispatch([&] { form->HandleMessage(message, wParam, lParam); });
    });
  }
  // Unique per window, never 0, so that devices can name the window they report to.
  std::uintptr_t NativeHandle() const override { return handle_; }

  Form& GetForm() { return form_; }
  Rect Bounds() const { return bounds_; }
  bool Visible() const { return visible_; }
  void MoveTo(int left, int top) {
    bounds_.left = left;
    bounds_.top = top;
    form_.HandleMoved(left, top);
  }
  int Activations() const { return activations_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }

 private:
  HeadlessBackend& backend_;
  Form& form_;
  std::uintptr_t handle_;
  Rect bounds_;
  bool visible_ = false;
  bool enabled_ = true;
  bool destroyed_ = false;
  int activations_ = 0;
  // What had the keyboard when the window was last shown.
  HeadlessFormPeer* before_ = nullptr;
};

class HeadlessTimerPeer : public TimerPeer {
 public:
  HeadlessTimerPeer(HeadlessBackend& backend, Timer& timer) : backend_(backend), timer_(timer) {}
  ~HeadlessTimerPeer() override { backend_.Forget(this); }
  void Update(bool enabled, unsigned intervalMs) override {
    // Like SetTimer, a change restarts the interval from now.
    enabled_ = enabled;
    interval_ = std::max(1u, intervalMs);
    due_ = backend_.Now() + interval_;
    sequence_ = backend_.NextTimerSequence();
  }
  bool Enabled() const { return enabled_; }
  std::int64_t Due() const { return due_; }
  std::int64_t Sequence() const { return sequence_; }
  void Fire() {
    due_ = backend_.Now() + interval_;
    sequence_ = backend_.NextTimerSequence();
    timer_.Fire();
  }

 private:
  HeadlessBackend& backend_;
  Timer& timer_;
  bool enabled_ = false;
  unsigned interval_ = 1000;
  std::int64_t due_ = 0;
  std::int64_t sequence_ = 0;
};

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

std::unique_ptr<FormPeer> HeadlessBackend::CreateFormPeer(Form& form) {
  auto peer = std::make_unique<HeadlessFormPeer>(*this, form);
  forms_.push_back(peer.get());
  return peer;
}

std::unique_ptr<TimerPeer> HeadlessBackend::CreateTimerPeer(Timer& timer) {
  auto peer = std::make_unique<HeadlessTimerPeer>(*this, timer);
  timers_.push_back(peer.get());
  return peer;
}

std::unique_ptr<ListBoxPeer> HeadlessBackend::CreateListBoxPeer(ListBox& list, Form& owner) {
  return std::make_unique<HeadlessListBoxPeer>(list, owner);
}

std::unique_ptr<EditPeer> HeadlessBackend::CreateEditPeer(Edit&, Form&) {
  return std::make_unique<HeadlessEditPeer>();
}

std::unique_ptr<TreeViewPeer> HeadlessBackend::CreateTreeViewPeer(TreeView& tree, Form& owner) {
  return std::make_unique<HeadlessTreeViewPeer>(tree, owner);
}

void HeadlessBackend::SetBusy(bool busy) {
  if (busy && !busy_) ++busyPeriods_;
  busy_ = busy;
}

void HeadlessBackend::Forget(HeadlessFormPeer* peer) {
  std::erase(forms_, peer);
  if (capture_ == peer) capture_ = nullptr;
  if (active_ == peer) active_ = nullptr;
  if (activeBeforeMenu_ == peer) activeBeforeMenu_ = nullptr;
  if (moving_ == peer) moving_ = nullptr;
}

Form* HeadlessBackend::FormByHandle(std::uintptr_t handle) const {
  for (HeadlessFormPeer* peer : forms_)
    if (peer->NativeHandle() == handle) return &peer->GetForm();
  return nullptr;
}

void HeadlessBackend::Forget(HeadlessTimerPeer* peer) { std::erase(timers_, peer); }

void HeadlessBackend::Raise(HeadlessFormPeer* peer) {
  std::erase(forms_, peer);
  forms_.push_back(peer);
}

bool HeadlessBackend::RunOnePosted() {
  if (posted_.empty()) return false;
  auto message = std::move(posted_.front());
  posted_.pop_front();
  message();
  return true;
}

HeadlessTimerPeer* HeadlessBackend::NextDueTimer() {
  HeadlessTimerPeer* next = nullptr;
  for (HeadlessTimerPeer* t : timers_) {
    if (!t->Enabled()) continue;
    if (!next || t->Due() < next->Due() || (t->Due() == next->Due() && t->Sequence() < next->Sequence()))
      next = t;
  }
  return next;
}

void HeadlessBackend::PostAfter(std::int64_t delayMs, std::function<void()> message) {
  delayed_.push_back({now_ + std::max<std::int64_t>(0, delayMs), NextTimerSequence(), std::move(message)});
}

bool HeadlessBackend::NextDue(std::int64_t& due) {
  bool any = false;
  if (HeadlessTimerPeer* t = NextDueTimer()) {
    due = t->Due();
    any = true;
  }
  for (const Delayed& d : delayed_) {
    if (!any || d.due < due) due = d.due;
    any = true;
  }
  return any;
}

bool HeadlessBackend::FireDue() {
  // Whichever of the delayed messages and the timers is due first (in order of arming).
  auto best = delayed_.end();
  for (auto it = delayed_.begin(); it != delayed_.end(); ++it)
    if (it->due <= now_ && (best == delayed_.end() || it->due < best->due ||
                            (it->due == best->due && it->sequence < best->sequence)))
      best = it;
  HeadlessTimerPeer* t = NextDueTimer();
  const bool timerDue = t && t->Due() <= now_;
  if (best != delayed_.end() &&
      (!timerDue || best->due < t->Due() || (best->due == t->Due() && best->sequence < t->Sequence()))) {
    auto message = std::move(best->message);
    delayed_.erase(best);
    message();
    return true;
  }
  if (timerDue) {
    t->Fire();
    return true;
  }
  return false;
}

void HeadlessBackend::HandleMessage() {
  if (RunOnePosted()) return;
  std::int64_t due = 0;
  if (!NextDue(due)) throw Stalled{};
  now_ = std::max(now_, due);
  FireDue();
}

void HeadlessBackend::ProcessMessages() {
  if (BeforeProcessMessages) BeforeProcessMessages();
  // Only what is already waiting, as PeekMessage would find it; timers and delayed
  // messages whose time has come count as waiting.
  for (;;) {
    while (RunOnePosted()) {
    }
    if (!FireDue()) break;
  }
}

int HeadlessBackend::RunModal(Form& form) {
  auto& app = Application::Instance();
  std::vector<HeadlessFormPeer*> disabled;
  for (HeadlessFormPeer* peer : forms_)
    if (&peer->GetForm() != &form && peer->Visible() && peer->Enabled()) disabled.push_back(peer);
  const auto sync = [&] {
    for (HeadlessFormPeer* peer : disabled)
      if (std::find(forms_.begin(), forms_.end(), peer) != forms_.end())
        peer->SetEnabled(peer->GetForm().TakesInputWhileModal());
  };
  sync();
  form.Show();
  struct Restore {
    HeadlessBackend& backend;
    std::vector<HeadlessFormPeer*>& peers;
    ~Restore() {
      for (HeadlessFormPeer* peer : peers)
        if (std::find(backend.forms_.begin(), backend.forms_.end(), peer) != backend.forms_.end())
          peer->SetEnabled(true);
    }
  } restore{*this, disabled};
  while (form.ModalResult() == 0 && !app.Terminated()) {
    sync();
    HandleMessage();
  }
  form.Hide();
  return form.ModalResult();
}

void HeadlessBackend::RunFor(std::int64_t ms) {
  const std::int64_t until = now_ + ms;
  auto& app = Application::Instance();
  while (!app.Terminated()) {
    if (RunOnePosted()) continue;
    std::int64_t due = 0;
    if (!NextDue(due) || due > until) break;
    now_ = std::max(now_, due);
    FireDue();
  }
  if (!app.Terminated()) now_ = std::max(now_, until);
}

void HeadlessBackend::BroadcastPowerResume() {
  for (HeadlessFormPeer* peer : forms_) {
    const std::uintptr_t handle = peer->NativeHandle();
    Post([this, handle] {
      if (Form* form = FormByHandle(handle)) Application::Instance().Dispatch([form] { form->HandlePowerResume(); });
    });
  }
}

std::uint32_t HeadlessBackend::SystemColourOf(SystemColour which) {
  switch (which) {
    case SystemColour::Window: return highContrast_ ? Rgb(0, 0, 0) : Rgb(255, 255, 255);
    case SystemColour::WindowText: return highContrast_ ? Rgb(255, 255, 255) : Rgb(0, 0, 0);
    case SystemColour::Highlight: return highContrast_ ? Rgb(26, 235, 255) : Rgb(0, 120, 215);
    case SystemColour::HotLight: return highContrast_ ? Rgb(255, 255, 0) : Rgb(0, 102, 204);
  }
  return Rgb(0, 0, 0);
}

void HeadlessBackend::SetHighContrast(bool on) {
  highContrast_ = on;
  for (HeadlessFormPeer* peer : forms_) {
    const std::uintptr_t handle = peer->NativeHandle();
    Post([this, handle] {
      if (Form* form = FormByHandle(handle)) Application::Instance().Dispatch([form] { form->HandleColoursChanged(); });
    });
  }
}

void HeadlessBackend::BroadcastTimeChange() {
  for (HeadlessFormPeer* peer : forms_) {
    const std::uintptr_t handle = peer->NativeHandle();
    Post([this, handle] {
      if (Form* form = FormByHandle(handle)) Application::Instance().Dispatch([form] { form->HandleTimeChange(); });
    });
  }
}

std::vector<HeadlessFormPeer*> HeadlessBackend::ZOrderTopFirst() const {
  std::vector<HeadlessFormPeer*> order;
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
    if ((*it)->GetForm().TopMost()) order.push_back(*it);
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
    if (!(*it)->GetForm().TopMost()) order.push_back(*it);
  return order;
}

Form* HeadlessBackend::FormAt(Point p) {
  if (!OnAWorkArea(p)) return nullptr;
  for (HeadlessFormPeer* peer : ZOrderTopFirst()) {
    if (!peer->Visible()) continue;
    const Rect r = peer->Bounds();
    if (!r.Contains(p)) continue;
    const Bitmap& pixels = peer->GetForm().Compose();
    const int x = p.x - r.left, y = p.y - r.top;
    if (x >= pixels.Width() || y >= pixels.Height()) continue;
    // Exactly the key colour is not part of the window: the click goes to what lies below.
    if (pixels.At(x, y) == kKeyColour) continue;
    return &peer->GetForm();
  }
  return nullptr;
}

void HeadlessBackend::SetCursor(Point p) { cursor_ = p; }

HeadlessFormPeer* HeadlessBackend::PeerOf(const Form& form) const {
  for (HeadlessFormPeer* peer : forms_)
    if (&peer->GetForm() == &form) return peer;
  return nullptr;
}

bool HeadlessBackend::TakesInput(const Form& form) const {
  const HeadlessFormPeer* peer = PeerOf(form);
  return peer && peer->Enabled();
}

std::vector<Form*> HeadlessBackend::AllForms() const {
  std::vector<Form*> all;
  for (HeadlessFormPeer* peer : forms_) all.push_back(&peer->GetForm());
  return all;
}

void HeadlessBackend::RaiseTrayEvent(std::uintptr_t window, TrayEvent event) {
  Post([this, window, event] {
    if (Form* form = FormByHandle(window)) Application::Instance().Dispatch([&] { form->HandleTrayEvent(event); });
  });
}

void HeadlessBackend::BroadcastTaskbarCreated() {
  for (HeadlessFormPeer* peer : forms_) {
    const std::uintptr_t window = peer->NativeHandle();
    Post([this, window] {
      if (Form* form = FormByHandle(window)) Application::Instance().Dispatch([&] { form->HandleTaskbarCreated(); });
    });
  }
}

Cursor HeadlessBackend::PointerShape() {
  Form* form = FormAt(cursor_);
  return form ? form->CursorAt(cursor_.x - form->Left(), cursor_.y - form->Top()) : Cursor::Arrow;
}

Form* HeadlessBackend::Press(Point p, MouseButton button) {
  SetCursor(p);
  Form* form = FormAt(p);
  if (!form) return nullptr;
  // A disabled window swallows the click.
  if (!TakesInput(*form)) return form;
  ActivatePeer(PeerOf(*form));
  Application::Instance().Dispatch(
      [&] { form->HandleMouseDown(button, p.x - form->Left(), p.y - form->Top()); });
  ProcessMessages();
  return form;
}

void HeadlessBackend::MoveTo(Point p) {
  SetCursor(p);
  if (moving_) {
    moving_->MoveTo(moveStartWindow_.x + p.x - moveStartCursor_.x, moveStartWindow_.y + p.y - moveStartCursor_.y);
  }
}

void HeadlessBackend::Release(Point p, MouseButton button) {
  MoveTo(p);
  if (moving_) {
    // The system's move loop ends with the button; the window gets no release.
    moving_ = nullptr;
    return;
  }
  Form* form = capture_ ? &capture_->GetForm() : FormAt(p);
  if (form && TakesInput(*form))
    Application::Instance().Dispatch(
        [&] { form->HandleMouseUp(button, p.x - form->Left(), p.y - form->Top()); });
  ProcessMessages();
}

Form* HeadlessBackend::Click(Point p, MouseButton button) {
  Form* form = Press(p, button);
  Release(p, button);
  return form;
}

void HeadlessBackend::KeyDown(Form& form, Key key) {
  if (!TakesInput(form)) return;
  Application::Instance().Dispatch([&] { form.HandleKeyDown(KeyStroke{key, false}); });
}

void HeadlessBackend::KeyGoesDown(Key key, bool repeat) {
  if (key == kVkShift) shiftDown_ = true;
  Form* form = ActiveForm();
  if (!form || !TakesInput(*form)) return;
  Application::Instance().Dispatch([&] { form->HandleKeyDown(KeyStroke{key, repeat, shiftDown_}); });
  ProcessMessages();
  // TranslateMessage's character, to the window the key went down in.
  const bool typed = key == kVkReturn || key == kVkEscape || key == kVkSpace || (key >= '0' && key <= '9');
  if (typed && FormByHandle(form->Peer() ? form->Peer()->NativeHandle() : 0)) {
    Application::Instance().Dispatch([&] { form->HandleKeyPress(char(key)); });
    ProcessMessages();
  }
}

void HeadlessBackend::KeyComesUp(Key key) {
  if (key == kVkShift) shiftDown_ = false;
  if (Form* form = ActiveForm()) KeyUp(*form, key);
  ProcessMessages();
}

Form* HeadlessBackend::ActiveForm() const { return active_ ? &active_->GetForm() : nullptr; }

bool HeadlessBackend::IsLive(const HeadlessFormPeer* peer) const {
  return peer && std::find(forms_.begin(), forms_.end(), peer) != forms_.end();
}

void HeadlessBackend::ActivatePeer(HeadlessFormPeer* peer) {
  if (peer == active_) return;
  HeadlessFormPeer* old = active_;
  active_ = peer;
  // WM_ACTIVATE (WA_INACTIVE) to the window that had the keyboard.
  if (old) {
    Form& form = old->GetForm();
    Application::Instance().Dispatch([&] {
      form.HandleFocusLost();
      form.HandleCaptureLost();
    });
  }
}

HeadlessFormPeer* HeadlessBackend::ActiveBeforeShow() const {
  return active_ && active_->GetForm().TopMost() ? activeBeforeMenu_ : active_;
}

void HeadlessBackend::PassActivation(HeadlessFormPeer* peer, HeadlessFormPeer* before) {
  if (active_ != peer) return;
  // Windows' choice: the next shown, enabled window, topmost ones first.
  HeadlessFormPeer* next = nullptr;
  for (HeadlessFormPeer* p : ZOrderTopFirst())
    if (p != peer && p->Visible() && p->Enabled()) {
      next = p;
      break;
    }
  // The program's own correction: not to the pet, but back where the keyboard was.
  if (next && next->GetForm().TopMost() && !peer->GetForm().TopMost() &&
      (!before || (IsLive(before) && before->Visible() && !before->GetForm().TopMost())))
    next = before;
  ActivatePeer(next);
}

void HeadlessBackend::KeyUp(Form& form, Key key) {
  if (!TakesInput(form)) return;
  Application::Instance().Dispatch([&] { form.HandleKeyUp(key); });
}

bool HeadlessBackend::RequestClose(Form& form) {
  bool allowed = false;
  Application::Instance().Dispatch([&] { allowed = form.HandleCloseRequest(); });
  return allowed;
}

bool HeadlessBackend::RequestApplicationClose() {
  bool allowed = false;
  Application::Instance().Dispatch([&] { allowed = Application::Instance().HandleCloseRequest(); });
  return allowed;
}

bool HeadlessBackend::QueryEndSession() {
  bool all = true;
  for (Form* form : AllForms()) {
    bool allowed = true;
    Application::Instance().Dispatch([&] { allowed = form->HandleEndSessionQuery(); });
    all = all && allowed;
  }
  return all;
}

void HeadlessBackend::EndSession(bool ending) {
  for (Form* form : AllForms())
    if (FormByHandle(form->Peer() ? form->Peer()->NativeHandle() : 0))
      Application::Instance().Dispatch([&] { form->HandleEndSession(ending); });
}

void HeadlessBackend::LoseFocus(Form& form) {
  if (active_ && &active_->GetForm() == &form) active_ = nullptr;
  Application::Instance().Dispatch([&] {
    form.HandleFocusLost();
    form.HandleCaptureLost();
  });
}

void HeadlessBackend::SetCaptureTo(HeadlessFormPeer* peer) {
  HeadlessFormPeer* previous = capture_;
  capture_ = peer;
  if (previous && previous != peer) {
    Form& form = previous->GetForm();
    Application::Instance().Dispatch([&] { form.HandleCaptureLost(); });
  }
}

void HeadlessBackend::TakeCapture() { SetCaptureTo(nullptr); }

void HeadlessBackend::CancelMode(Form& form) {
  Application::Instance().Dispatch([&] { form.HandleCaptureLost(); });
  if (HeadlessFormPeer* peer = PeerOf(form); peer && capture_ == peer) capture_ = nullptr;
}

void HeadlessBackend::DestroyFromOutside(Form& form) {
  HeadlessFormPeer* peer = PeerOf(form);
  if (!peer) return;
  // The window is gone from the desktop at once; the form keeps its (dead) peer.
  peer->MarkDestroyed();
  Forget(peer);
  Application::Instance().Dispatch([&] { form.HandleWindowDestroyed(); });
}

void HeadlessBackend::BeginMove(HeadlessFormPeer* peer) {
  moving_ = peer;
  moveStartCursor_ = cursor_;
  moveStartWindow_ = {peer->Bounds().left, peer->Bounds().top};
  if (capture_ == peer) capture_ = nullptr;
}

Bitmap HeadlessBackend::Capture(std::uint32_t desktopColour) {
  Bitmap desktop(virtualScreen_.width, virtualScreen_.height, desktopColour);
  auto order = ZOrderTopFirst();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    if (!(*it)->Visible()) continue;
    const Bitmap& pixels = (*it)->GetForm().Compose();
    const std::uint32_t key = kKeyColour;
    desktop.Draw(pixels, (*it)->Bounds().left, (*it)->Bounds().top, &key);
  }
  return desktop;
}

}  // namespace ui::headless
