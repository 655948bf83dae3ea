#include "pet/AnimatorUnit.h"

#include <exception>

#include "alarm/Reestr.h"
#include "app/Globals.h"
#include "pet/EyesUnit.h"
#include "shell/Skin.h"
#include "shell/main.h"
#include "ui/Application.h"
#include "ui/Rescale.h"

namespace {
std::shared_ptr<const pet::GifMovie> Decode(const std::string& bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  return std::make_shared<const pet::GifMovie>(pet::DecodeGif({data, bytes.size()}));
}
}  // namespace

CAnimator::CAnimator(TFormMain& host) : host_(host) {
  Loaded = true;
  if (!Reestr->GetBool("mouse_tracking", Tracking)) {
    Tracking = true;
    Reestr->SetBool("mouse_tracking", true);
  }
  SetEyesCheckMark();
  try {
    view_ = std::make_unique<MovieView>(host);
    view_->SetEnabled(true);
    view_->SetVisible(true);
    view_->SetPosition(140, 0);
    view_->SetLoop(false);
    // Pressing on the pet drags the window or opens the menu, as pressing on the window does.
    view_->OnMouseDown = [this](ui::MouseButton button, int x, int y) {
      host_.FormMouseDown(button, x + view_->Left(), y + view_->Top());
    };
    for (int i = 0; i < kMovieCount; ++i) {
      std::string bytes = ReadDataFile(kMovieFiles[i]);
      // A damaged movie is found now, not when it is first played.
      const auto decoded = Decode(bytes);
      Shapes[std::size_t(i)] = {decoded->screenWidth, decoded->screenHeight, decoded->frames.size()};
      Movies[std::size_t(i)] = std::move(bytes);
    }
    Eyes = new CEyes(host);
    if (Tracking) Eyes->ShowEyes();
  } catch (const std::exception&) {
    Loaded = false;
  }
}

CAnimator::~CAnimator() {
  try {
    Reestr->SetBool("mouse_tracking", Tracking);
  } catch (const std::exception&) {
    // The rest of the release goes on.
  }
  if (view_) {
    view_->SetAnimate(false);
    view_.reset();
  }
  delete Eyes;
  Eyes = nullptr;
  for (auto& movie : Movies) movie.clear();
}

std::shared_ptr<const pet::GifMovie> CAnimator::Movie(int listPosition) const {
  return Decode(Movies[std::size_t(listPosition)]);
}

int CAnimator::ShownPosition() const {
  const auto shown = shown_.lock();
  return view_ && shown && view_->Image() == shown ? shownPosition_ : -1;
}

std::shared_ptr<const pet::GifMovie> CAnimator::MovieInSet(int listPosition, int set) {
  if (set == 100) return Movie(listPosition);
  auto& bytes = LargerMovies[std::size_t(listPosition)];
  if (!bytes) {
    try {
      bytes = ReadDataFile(ArtSetPath(kMovieFiles[std::size_t(listPosition)], set));
    } catch (const std::exception&) {
      bytes.emplace();
    }
  }
  if (bytes->empty()) return nullptr;
  try {
    auto movie = Decode(*bytes);
    const Shape& shape = Shapes[std::size_t(listPosition)];
    if (movie->screenWidth == ui::ScaledLength(shape.width, set) &&
        movie->screenHeight == ui::ScaledLength(shape.height, set) && movie->frames.size() == shape.frames)
      return movie;
  } catch (const std::exception&) {
  }
  // Not this movie at that size: the 1x one is drawn scaled, and this file never decoded again.
  bytes->clear();
  return nullptr;
}

void CAnimator::Show(int listPosition) {
  // Decoded once, in the set the pet's scale is drawn from; the 1x movie where the larger set
  // has none that fits.
  constexpr int kSets[] = {100, kLargerArtSets[0]};
  const int set = ui::PlanScale(kSets, host_.Scale()).set;
  std::shared_ptr<const pet::GifMovie> movie = set == 100 ? nullptr : MovieInSet(listPosition, set);
  const int drawnSet = movie ? set : 100;
  if (!movie) movie = Movie(listPosition);
  shown_ = movie;
  shownPosition_ = listPosition;
  // Another set, when the scale changes while the movie shows.
  view_->SetImage(
      std::move(movie),
      [this, listPosition](int otherSet) {
        auto other = MovieInSet(listPosition, otherSet);
        if (other) shown_ = other;
        return other;
      },
      drawnSet);
}

void CAnimator::PlayControlOnce(int i) { PlayControl(i, false); }

void CAnimator::PlayControlLooped(int i) {
  RAVILO_ASSERT(host_.Visible(), "AnimatorUnit");
  PlayControl(i, true);
}

void CAnimator::PlayControl(int i, bool loop) {
  RAVILO_ASSERT(i >= 0 && i < kControlCount, "AnimatorUnit");
  RAVILO_ASSERT(!Movies[std::size_t(i)].empty(), "AnimatorUnit");
  RAVILO_ASSERT(view_ && view_->Visible(), "AnimatorUnit");
  HideEyesIfTracking();
  Show(i);
  view_->SetLoop(loop);
  view_->SetAnimate(true);
}

void CAnimator::PlayIdle(int i) {
  RAVILO_ASSERT(i >= 0 && i < kIdleCount, "AnimatorUnit");
  RAVILO_ASSERT(host_.Visible(), "AnimatorUnit");
  RAVILO_ASSERT(!Movies[std::size_t(kControlCount + i)].empty(), "AnimatorUnit");
  RAVILO_ASSERT(view_ && view_->Visible(), "AnimatorUnit");
  if (kShowsEyes[i]) ShowEyesIfTracking();
  Rewind();
  Show(kControlCount + i);
  view_->SetLoop(false);
  view_->SetAnimate(true);
}

bool CAnimator::IsPlaying() const { return view_ && view_->Animate(); }

void CAnimator::Rewind() {
  if (!view_) return;
  view_->SetAnimate(false);
  view_->SetFrameIndex(0);
}

void CAnimator::SetStopHandler(std::function<void()> handler) {
  if (view_) view_->OnStop = std::move(handler);
}

void CAnimator::ShowView() {
  if (view_) view_->SetVisible(true);
}

void CAnimator::HideView() {
  RAVILO_ASSERT(view_ && view_->Visible(), "AnimatorUnit");
  view_->SetVisible(false);
}

void CAnimator::ClearView() {
  if (!view_) return;
  view_->SetImage(nullptr);
  // Repaint the emptied view before anything else happens.
  ui::Application::Instance().ProcessMessages();
}

void CAnimator::TrackingOn() {
  if (Eyes) Eyes->ShowEyes();
  Tracking = true;
  SetEyesCheckMark();
}

void CAnimator::TrackingOff() {
  if (Eyes) Eyes->HideEyes();
  Tracking = false;
  SetEyesCheckMark();
}

void CAnimator::HideEyesIfTracking() {
  if (Tracking && Eyes) Eyes->HideEyes();
}

void CAnimator::ShowEyesIfTracking() {
  if (Tracking && Eyes) Eyes->ShowEyes();
}

void CAnimator::SetEyesCheckMark() {
  if (ui::MenuItem* item = host_.TrayPopupMenu.Find("Funny eyes")) item->SetChecked(Tracking);
}
