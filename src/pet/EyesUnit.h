#pragma once
// The funny eyes: two pupils over the pet's face that look toward the mouse pointer, moved
// 20 times a second by the hidden TFormEyes' timer while they are shown.
#include <memory>

#include "ui/Form.h"
#include "ui/Geometry.h"
#include "ui/Image.h"
#include "ui/Timer.h"

class TFormMain;

// TFormEyes exists (it is created after the eyes), so its timer may be switched.
inline bool EyesWindowReady = false;
// The eyes are shown, so the timer should run.
inline bool EyesTimerWanted = false;

// Where a pupil goes for a pointer at (x, y), window coordinates, around the eye centre
// (cx, cy): on the pointer when it is nearer than the radius, else on the circle of radius 7
// toward it, rounded half to even.
ui::Point PupilCentre(int x, int y, int cx, int cy);

class CEyes {
 public:
  static constexpr int kLeftX = 230, kLeftY = 60;
  static constexpr int kRightX = 207, kRightY = 60;
  static constexpr double kRadius = 7.0;

  // Throws when an eye bitmap can't be loaded.
  explicit CEyes(TFormMain& host);
  virtual ~CEyes();

  void ShowEyes();
  void HideEyes();
  bool EyesShown() const { return shown_; }
  void FollowPointer();

  ui::Image& LeftEye() { return *left_; }
  ui::Image& RightEye() { return *right_; }

 private:
  TFormMain& host_;
  bool shown_ = false;
  std::unique_ptr<ui::Image> left_;
  std::unique_ptr<ui::Image> right_;
};

inline CEyes* Eyes = nullptr;

class TFormEyes : public ui::Form {
 public:
  TFormEyes();
  ui::Timer timer;

 protected:
  void FormCreate() override;
  void FormDestroy() override;

 private:
  void timerTimer();
};

inline TFormEyes* FormEyes = nullptr;
