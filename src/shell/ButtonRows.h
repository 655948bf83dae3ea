#pragma once
// A window's image buttons described once, one row each: the image, its two pictures and
// their files, the resting and the pressed place, and what the release does. The window's
// constructor places the images from the rows, its creation handler loads the pictures
// and makes the buttons, and its destruction handler frees the pictures, all from the same
// rows, so the three can never disagree.
#include <functional>
#include <string>
#include <vector>

#include "shell/SkinnedForm.h"

struct ButtonRow {
  enum Kind { Push, Switch, PicturesOnly };
  Kind kind;
  ui::Image* image;  // nullptr for PicturesOnly (pictures that other code shows)
  Picture* inactive;
  Picture* active;
  const char* inactiveFile;
  const char* activeFile;
  ui::Point restAt;
  ui::Point pressedAt;            // a switch keeps its place
  std::function<void()> release;  // push: the release action; switch: the click
  std::function<bool()> state;    // switch: on or off
  int group = 0;                  // switch: the keyboard's group (a row of choices), 0 for none
};

// Each image to its resting place.
void PlaceButtons(const std::vector<ButtonRow>& rows);
// The pictures in row order, inactive before active (or active first); false when one
// can't be loaded (the ones before it stay loaded).
bool LoadButtonPictures(const std::vector<ButtonRow>& rows, bool activeFirst = false);
// Push buttons and switches made on the window, in row order, with their keyboard groups.
void AddButtons(TSkinnedForm& form, const std::vector<ButtonRow>& rows);
void FreeButtonPictures(const std::vector<ButtonRow>& rows);
