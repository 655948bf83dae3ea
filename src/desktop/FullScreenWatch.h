#pragma once
// Out of the way of full-screen work: while the option is on and a full-screen program (a
// video, a game, a presentation) is in front on the display the pet stands on, the pet's
// window hides; it comes back when that program ends or leaves full screen, or the option
// is switched off. The behaviour logic does the hiding, so that a ring still comes.

// How often the main window looks: hiding and coming back each take under a second.
constexpr unsigned kFullScreenPollMs = 500;

// Whether the pet should give way now.
bool FullScreenInFrontOfPet();
// Tells the behaviour logic; run by the main window's timer.
void WatchFullScreen();
