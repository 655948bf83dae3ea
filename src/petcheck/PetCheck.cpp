#include "petcheck/PetCheck.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <utility>

#include "pet/AnimatorUnit.h"
#include "pet/EyesUnit.h"
#include "pet/FrameComposer.h"
#include "ui/BmpReader.h"

namespace petcheck {

namespace {

// The ringing loop is control movie 3; it alone plays in the centred ringing layout.
constexpr int kRingingMovie = 3;
// The program keeps each pupil point at most 6 px below its centre, and the eyes from
// moving more than 2 px (left eye) or 1 px (right eye) toward each other.
constexpr int kPupilMaxY = 66, kLeftPupilMinX = 228, kRightPupilMaxX = 208;

struct RuleInfo {
  Rule rule;
  const char* name;
  const char* text;
};

constexpr RuleInfo kRules[] = {
    {Rule::MissingFile, "missing-file", "the file must exist"},
    {Rule::Undecodable, "undecodable", "the file must be a readable GIF (movies) or BMP (eye bitmaps)"},
    {Rule::NotGif89a, "not-gif89a", "a movie must be a GIF89a file"},
    {Rule::FrameSize, "frame-size", "a movie's frame must be 172 x 136 pixels"},
    {Rule::TooFewFrames, "too-few-frames", "a movie needs at least two frames"},
    {Rule::OpaqueFirstFrame, "opaque-first-frame",
     "the first frame must have a transparent colour and transparent corners"},
    {Rule::DamagedFrame, "damaged-frame", "every frame's image data must be complete"},
    {Rule::FrameDelay, "frame-delay", "every frame's delay must be 50 to 2000 ms (5 to 200 hundredths)"},
    {Rule::TooShort, "too-short", "an idle movie must last at least 2 s"},
    {Rule::TooLong, "too-long", "an idle movie may last at most 10 s, a control movie at most 4 s"},
    {Rule::KeyColour, "key-colour", "no visible pixel may be the key purple (128, 0, 128)"},
    {Rule::NearKey, "near-key", "no visible pixel may be within 40 of the key purple (a fringe)"},
    {Rule::OutsideVisibleArea, "outside-visible-area",
     "a movie of the normal layout may draw only at x < 139 and y < 120"},
    {Rule::NoEyeWhite, "no-eye-white", "an eye movie must show light eye white wherever a pupil can be laid"},
    {Rule::EyeBitmapSize, "eye-bitmap-size", "an eye bitmap must be 1 to 15 pixels wide and high"},
    {Rule::EyeBitmapKey, "eye-bitmap-key",
     "an eye bitmap's bottom-left pixel (its transparent colour) must be the key purple"},
};

const RuleInfo& Info(Rule rule) {
  for (const RuleInfo& r : kRules)
    if (r.rule == rule) return r;
  return kRules[0];
}

std::string Hex(std::uint32_t rgb) {
  std::ostringstream s;
  s << '(' << ((rgb >> 16) & 0xFF) << ", " << ((rgb >> 8) & 0xFF) << ", " << (rgb & 0xFF) << ')';
  return s.str();
}

bool IsKey(std::uint32_t argb) { return (argb & 0xFFFFFFu) == (ui::kKeyColour & 0xFFFFFFu); }

bool NearKey(std::uint32_t argb) {
  if (IsKey(argb)) return false;
  const double dr = double((argb >> 16) & 0xFF) - 128, dg = double((argb >> 8) & 0xFF),
               db = double(argb & 0xFF) - 128;
  return std::sqrt(dr * dr + dg * dg + db * db) <= kNearKeyDistance;
}

bool LightWhite(std::uint32_t argb) {
  return int((argb >> 16) & 0xFF) >= kEyeWhiteMin && int((argb >> 8) & 0xFF) >= kEyeWhiteMin &&
         int(argb & 0xFF) >= kEyeWhiteMin;
}

bool ReadFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::filesystem::path Under(const std::filesystem::path& folder, const std::string& windowsPath) {
  std::filesystem::path p = folder;
  std::string part;
  for (char c : windowsPath) {
    if (c == '\\') {
      p /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  return p / part;
}

// Collects the findings of one file and rule: the first place is kept, the rest counted.
class Collector {
 public:
  Collector(std::vector<Finding>& out, std::string file) : out_(out), file_(std::move(file)) {}
  void Add(Rule rule, std::string detail, int frame = -1, int x = -1, int y = -1) {
    for (std::size_t i = first_; i < out_.size(); ++i) {
      if (out_[i].rule == rule) {
        ++out_[i].more;
        return;
      }
    }
    if (first_ == npos) first_ = out_.size();
    out_.push_back({file_, rule, frame, x, y, std::move(detail), 0});
  }

 private:
  static constexpr std::size_t npos = std::size_t(-1);
  std::vector<Finding>& out_;
  std::string file_;
  std::size_t first_ = npos;
};

// Every point in window coordinates on which the program can centre this eye's pupil:
// the pointer itself when it is nearer than the radius, else the point on the circle toward
// it, rounded half to even (the rounding mode in force), then clamped. Pointers up to 64 px
// away already give every direction that rounds differently on a circle of radius 7.
std::set<std::pair<int, int>> PupilPoints(bool left) {
  const int cx = left ? CEyes::kLeftX : CEyes::kRightX, cy = left ? CEyes::kLeftY : CEyes::kRightY;
  std::set<std::pair<int, int>> points;
  for (int dx = -64; dx <= 64; ++dx) {
    for (int dy = -64; dy <= 64; ++dy) {
      const double d = std::sqrt(double(dx) * dx + double(dy) * dy);
      int x = cx + dx, y = cy + dy;
      if (d >= CEyes::kRadius) {
        x = int(std::nearbyint(dx * CEyes::kRadius / d + cx));
        y = int(std::nearbyint(dy * CEyes::kRadius / d + cy));
      }
      y = std::min(y, kPupilMaxY);
      x = left ? std::max(x, kLeftPupilMinX) : std::min(x, kRightPupilMaxX);
      points.insert({x, y});
    }
  }
  return points;
}

// The frame pixels that some placement of the pupil bitmap covers with a visible pixel.
std::vector<std::pair<int, int>> PupilCover(const ui::Bitmap& pupil, bool left) {
  std::set<std::pair<int, int>> cover;
  const std::uint32_t key = pupil.BottomLeft();
  for (auto [px, py] : PupilPoints(left)) {
    const int x0 = px - pupil.Width() / 2 - kMovieLeft, y0 = py - pupil.Height() / 2;
    for (int y = 0; y < pupil.Height(); ++y)
      for (int x = 0; x < pupil.Width(); ++x)
        if (pupil.At(x, y) != key) cover.insert({x0 + x, y0 + y});
  }
  return {cover.begin(), cover.end()};
}

std::shared_ptr<const ui::Bitmap> CheckEyeBitmap(const std::filesystem::path& folder, const std::string& file,
                                                 std::vector<Finding>& findings) {
  Collector c(findings, file);
  std::vector<std::uint8_t> bytes;
  if (!std::filesystem::is_regular_file(Under(folder, file)) || !ReadFile(Under(folder, file), bytes)) {
    c.Add(Rule::MissingFile, "not found");
    return nullptr;
  }
  std::shared_ptr<const ui::Bitmap> bmp;
  try {
    bmp = std::make_shared<const ui::Bitmap>(ui::ReadBmpFile(bytes));
  } catch (const std::exception& e) {
    c.Add(Rule::Undecodable, e.what());
    return nullptr;
  }
  if (bmp->Empty() || bmp->Width() > kEyeMaxSize || bmp->Height() > kEyeMaxSize) {
    c.Add(Rule::EyeBitmapSize, std::to_string(bmp->Width()) + " x " + std::to_string(bmp->Height()));
    return bmp->Empty() ? nullptr : bmp;
  }
  if (!IsKey(bmp->BottomLeft()))
    c.Add(Rule::EyeBitmapKey, "bottom-left pixel " + Hex(bmp->BottomLeft()), -1, 0, bmp->Height() - 1);
  for (int y = 0; y < bmp->Height(); ++y)
    for (int x = 0; x < bmp->Width(); ++x)
      if (NearKey(bmp->At(x, y))) c.Add(Rule::NearKey, "colour " + Hex(bmp->At(x, y)), -1, x, y);
  return bmp;
}

using Cover = std::vector<std::pair<int, int>>;

void CheckMovie(const std::filesystem::path& folder, MovieEntry& entry, const Cover& leftCover,
                const Cover& rightCover, std::vector<Finding>& findings) {
  Collector c(findings, entry.file);
  const std::filesystem::path path = Under(folder, entry.file);
  std::vector<std::uint8_t> bytes;
  if (!std::filesystem::is_regular_file(path) || !ReadFile(path, bytes)) {
    c.Add(Rule::MissingFile, "not found");
    return;
  }
  std::shared_ptr<const pet::GifMovie> movie;
  try {
    movie = std::make_shared<const pet::GifMovie>(pet::DecodeGif(bytes));
  } catch (const pet::GifError& e) {
    c.Add(Rule::Undecodable, e.what());
    return;
  }
  entry.movie = movie;
  if (std::string(bytes.begin(), bytes.begin() + 6) != "GIF89a")
    c.Add(Rule::NotGif89a, "signature " + std::string(bytes.begin(), bytes.begin() + 6));
  if (movie->screenWidth != kFrameWidth || movie->screenHeight != kFrameHeight)
    c.Add(Rule::FrameSize, std::to_string(movie->screenWidth) + " x " + std::to_string(movie->screenHeight));
  const int count = int(movie->frames.size());
  if (count < 2) c.Add(Rule::TooFewFrames, std::to_string(count) + " frame");

  int total = 0;
  for (int i = 0; i < count; ++i) {
    const pet::GifFrame& f = movie->frames[std::size_t(i)];
    if (!f.complete) c.Add(Rule::DamagedFrame, "image data ends before the frame's last pixel", i);
    if (f.delayMs < kMinDelayMs || f.delayMs > kMaxDelayMs)
      c.Add(Rule::FrameDelay, std::to_string(f.delayMs) + " ms", i);
    total += pet::ClampedFrameDelayMs(*movie, i);
  }
  if (count >= 2) {
    if (!entry.control && total < kIdleMinMs) c.Add(Rule::TooShort, "lasts " + std::to_string(total) + " ms");
    const int limit = entry.control ? kControlMaxMs : kIdleMaxMs;
    if (total > limit) c.Add(Rule::TooLong, "lasts " + std::to_string(total) + " ms");
  }
  if (count > 0 && movie->frames[0].transparentIndex < 0)
    c.Add(Rule::OpaqueFirstFrame, "the first frame has no transparent colour", 0);

  // What the movie view shows, frame by frame.
  const Cover none;
  pet::FrameComposer composer(movie);
  const int w = composer.Width(), h = composer.Height();
  for (int i = 0; i < composer.FrameCount(); ++i) {
    const std::vector<std::uint32_t>& pic = composer.Compose(i);
    auto at = [&](int x, int y) { return pic[std::size_t(y) * std::size_t(w) + std::size_t(x)]; };
    if (i == 0 && movie->frames[0].transparentIndex >= 0) {
      for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
        if (at(x, y) >> 24) c.Add(Rule::OpaqueFirstFrame, "corner is not transparent", 0, x, y);
    }
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const std::uint32_t p = at(x, y);
        if ((p >> 24) == 0) continue;
        if (IsKey(p)) c.Add(Rule::KeyColour, "shows through as a hole", i, x, y);
        else if (NearKey(p)) c.Add(Rule::NearKey, "colour " + Hex(p), i, x, y);
        if (!entry.ringing && (x >= kVisibleWidth || y >= kVisibleHeight))
          c.Add(Rule::OutsideVisibleArea, "cut off at the first-run place", i, x, y);
      }
    }
    for (const Cover* cover : {entry.eyes ? &leftCover : &none, entry.eyes ? &rightCover : &none}) {
      for (auto [x, y] : *cover) {
        const bool inside = x >= 0 && y >= 0 && x < w && y < h;
        if (!inside || (at(x, y) >> 24) == 0 || !LightWhite(at(x, y)))
          c.Add(Rule::NoEyeWhite, inside && (at(x, y) >> 24) ? "colour " + Hex(at(x, y)) : "transparent", i, x, y);
      }
    }
  }
}

}  // namespace

const char* RuleName(Rule rule) { return Info(rule).name; }
const char* RuleText(Rule rule) { return Info(rule).text; }
bool StopsLoading(Rule rule) { return rule == Rule::MissingFile || rule == Rule::Undecodable; }

std::string Describe(const Finding& f) {
  std::ostringstream s;
  s << f.file << ": ";
  if (f.frame >= 0) s << "frame " << f.frame << ", ";
  if (f.x >= 0) s << "pixel (" << f.x << ", " << f.y << "), ";
  s << RuleName(f.rule) << ": " << RuleText(f.rule);
  if (!f.detail.empty()) s << " -- " << f.detail;
  if (f.more > 0) s << " (" << f.more << " more in this file)";
  if (StopsLoading(f.rule)) s << " [Ravilo will not start]";
  return s.str();
}

bool PetSet::Loads() const {
  return std::none_of(findings.begin(), findings.end(), [](const Finding& f) { return StopsLoading(f.rule); });
}

PetSet CheckFolder(const std::filesystem::path& folder) {
  PetSet set;
  // The eye bitmaps first: the eye movies are checked against the pupils' shapes.
  std::vector<Finding> eyeFindings;
  set.leftEye = CheckEyeBitmap(folder, "Images\\Eyes\\left.bmp", eyeFindings);
  set.rightEye = CheckEyeBitmap(folder, "Images\\Eyes\\right.bmp", eyeFindings);
  for (int i = 0; i < CAnimator::kMovieCount; ++i) {
    MovieEntry e;
    e.file = CAnimator::kMovieFiles[i];
    e.control = i < CAnimator::kControlCount;
    e.ringing = i == kRingingMovie;
    e.eyes = !e.control && CAnimator::kShowsEyes[i - CAnimator::kControlCount];
    set.movies.push_back(e);
  }
  const Cover leftCover = set.leftEye ? PupilCover(*set.leftEye, true) : Cover{};
  const Cover rightCover = set.rightEye ? PupilCover(*set.rightEye, false) : Cover{};
  for (MovieEntry& e : set.movies) CheckMovie(folder, e, leftCover, rightCover, set.findings);
  set.findings.insert(set.findings.end(), eyeFindings.begin(), eyeFindings.end());
  return set;
}

}  // namespace petcheck
