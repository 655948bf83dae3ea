#include "petcheck/PetCheck.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <optional>
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
    {Rule::NoPartner, "no-partner", "every file of a larger set must have its 1x file at the same place"},
    {Rule::SetSize, "set-size", "a file of a larger set must be exactly n times as wide and high as its 1x file"},
    {Rule::SetFrames, "set-frames",
     "a movie of a larger set must have as many frames as its 1x movie, with the same delays"},
    {Rule::IncompleteSet, "incomplete-set",
     "a larger set must hold every movie (Movies\\<n>x) or both eye bitmaps (Images\\<n>x\\Eyes) of the 1x set"},
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

// In one read: a larger set's movies are several times the size of the 1x ones.
bool ReadFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  std::ifstream in(path, std::ios::binary);
  if (ec || !in) return false;
  bytes.resize(std::size_t(size));
  return size == 0 || bool(in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size)));
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

// Every point in window coordinates on which the program can centre this eye's pupil, in
// the set of scale n (centre, radius and clamps n times the 1x ones): the pointer itself when
// it is nearer than the radius, else the point on the circle toward it, rounded half to even
// (the rounding mode in force), then clamped. Pointers up to 64 n px away already give every
// direction that rounds differently on a circle of radius 7 n.
std::set<std::pair<int, int>> PupilPoints(bool left, int n) {
  const int cx = n * (left ? CEyes::kLeftX : CEyes::kRightX), cy = n * (left ? CEyes::kLeftY : CEyes::kRightY);
  const double radius = CEyes::kRadius * n;
  std::set<std::pair<int, int>> points;
  for (int dx = -64 * n; dx <= 64 * n; ++dx) {
    for (int dy = -64 * n; dy <= 64 * n; ++dy) {
      const double d = std::sqrt(double(dx) * dx + double(dy) * dy);
      int x = cx + dx, y = cy + dy;
      if (d >= radius) {
        x = int(std::nearbyint(dx * radius / d + cx));
        y = int(std::nearbyint(dy * radius / d + cy));
      }
      y = std::min(y, n * kPupilMaxY);
      x = left ? std::max(x, n * kLeftPupilMinX) : std::min(x, n * kRightPupilMaxX);
      points.insert({x, y});
    }
  }
  return points;
}

// The frame pixels that some placement of the pupil bitmap covers with a visible pixel.
std::vector<std::pair<int, int>> PupilCover(const ui::Bitmap& pupil, bool left, int n) {
  std::set<std::pair<int, int>> cover;
  const std::uint32_t key = pupil.BottomLeft();
  for (auto [px, py] : PupilPoints(left, n)) {
    const int x0 = px - pupil.Width() / 2 - n * kMovieLeft, y0 = py - pupil.Height() / 2;
    for (int y = 0; y < pupil.Height(); ++y)
      for (int x = 0; x < pupil.Width(); ++x)
        if (pupil.At(x, y) != key) cover.insert({x0 + x, y0 + y});
  }
  return {cover.begin(), cover.end()};
}

std::shared_ptr<const ui::Bitmap> CheckEyeBitmap(const std::filesystem::path& folder, const std::string& file,
                                                 int n, std::vector<Finding>& findings) {
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
  if (bmp->Empty() || bmp->Width() > n * kEyeMaxSize || bmp->Height() > n * kEyeMaxSize) {
    c.Add(Rule::EyeBitmapSize, std::to_string(bmp->Width()) + " x " + std::to_string(bmp->Height()) +
                                   (n == 1 ? "" : ", at most " + std::to_string(n * kEyeMaxSize) + " in this set"));
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

// Checks one movie of the set of scale n (frame and visible area n times the 1x ones).
void CheckMovie(const std::filesystem::path& folder, MovieEntry& entry, int n, const Cover& leftCover,
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
  if (movie->screenWidth != n * kFrameWidth || movie->screenHeight != n * kFrameHeight)
    c.Add(Rule::FrameSize, std::to_string(movie->screenWidth) + " x " + std::to_string(movie->screenHeight) +
                               (n == 1 ? "" : ", want " + std::to_string(n * kFrameWidth) + " x " +
                                                  std::to_string(n * kFrameHeight) + " in this set"));
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
        if (!entry.ringing && (x >= n * kVisibleWidth || y >= n * kVisibleHeight))
          c.Add(Rule::OutsideVisibleArea,
                n == 1 ? "cut off at the first-run place"
                       : "cut off at the first-run place (x < " + std::to_string(n * kVisibleWidth) +
                             ", y < " + std::to_string(n * kVisibleHeight) + " in this set)",
                i, x, y);
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

// The file of the set of scale n: "Movies\Idle\5.gif" -> "Movies\2x\Idle\5.gif".
std::string SetFile(const std::string& file, int n) {
  if (n == 1) return file;
  const std::size_t cut = file.find('\\') + 1;
  return file.substr(0, cut) + std::to_string(n) + "x\\" + file.substr(cut);
}

std::string SizeText(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }

// The scales of the folders "<n>x" (2 <= n <= kMaxSetScale) in Movies\ and Images\.
std::vector<int> FindLargerSets(const std::filesystem::path& folder) {
  std::set<int> found;
  for (const char* top : {"Movies", "Images"}) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder / top, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (!it->is_directory(ec) || name.size() != 2 || name[1] != 'x') continue;
      const int n = name[0] - '0';
      if (n >= 2 && n <= kMaxSetScale) found.insert(n);
    }
  }
  return {found.begin(), found.end()};
}

// A movie of a larger set plays frame for frame with its 1x movie.
void CompareFrames(const pet::GifMovie& big, const pet::GifMovie& base, Collector& c) {
  if (big.frames.size() != base.frames.size()) {
    c.Add(Rule::SetFrames, std::to_string(big.frames.size()) + " frames, the 1x movie has " +
                               std::to_string(base.frames.size()));
    return;
  }
  for (std::size_t i = 0; i < big.frames.size(); ++i) {
    if (big.frames[i].delayMs != base.frames[i].delayMs)
      c.Add(Rule::SetFrames, std::to_string(big.frames[i].delayMs) + " ms, the 1x frame " +
                                 std::to_string(base.frames[i].delayMs) + " ms", int(i));
  }
}

// Any other file of a larger set (a button, a background of a window): its 1x partner exists,
// and a picture or a movie is exactly n times its partner's size.
void CheckPartner(const std::filesystem::path& folder, const std::string& file, const std::string& base, int n,
                  std::vector<Finding>& findings) {
  Collector c(findings, file);
  if (!std::filesystem::is_regular_file(Under(folder, base))) {
    c.Add(Rule::NoPartner, base + " not found");
    return;
  }
  std::string ext = std::filesystem::path(file).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) { return char(std::tolower(ch)); });
  if (ext != ".bmp" && ext != ".gif") return;
  std::vector<std::uint8_t> bigBytes, baseBytes;
  if (!ReadFile(Under(folder, file), bigBytes) || !ReadFile(Under(folder, base), baseBytes)) {
    c.Add(Rule::MissingFile, "cannot be read");
    return;
  }
  int bw = 0, bh = 0, w = 0, h = 0;
  if (ext == ".bmp") {
    try {
      const ui::Bitmap big = ui::ReadBmpFile(bigBytes);
      bw = big.Width(), bh = big.Height();
    } catch (const std::exception& e) {
      c.Add(Rule::Undecodable, e.what());
      return;
    }
    try {
      const ui::Bitmap small = ui::ReadBmpFile(baseBytes);
      w = small.Width(), h = small.Height();
    } catch (const std::exception&) {
      return;  // the 1x file is not ours to judge here
    }
  } else {
    std::optional<pet::GifMovie> big, small;
    try {
      big = pet::DecodeGif(bigBytes);
    } catch (const pet::GifError& e) {
      c.Add(Rule::Undecodable, e.what());
      return;
    }
    try {
      small = pet::DecodeGif(baseBytes);
    } catch (const pet::GifError&) {
      return;
    }
    bw = big->screenWidth, bh = big->screenHeight, w = small->screenWidth, h = small->screenHeight;
    CompareFrames(*big, *small, c);
  }
  if (bw != n * w || bh != n * h) c.Add(Rule::SetSize, SizeText(bw, bh) + ", the 1x file " + SizeText(w, h));
}

// The set of scale n: the same rules as for the 1x set at n times the sizes, the same frames
// and delays as the 1x movies, and every file's 1x partner.
void CheckLargerSet(const std::filesystem::path& folder, int n, const PetSet& base, std::vector<Finding>& findings) {
  const std::string dir = std::to_string(n) + "x";
  std::set<std::string> checked;
  std::shared_ptr<const ui::Bitmap> eyes[2];
  std::vector<Finding> eyeFindings;
  // Images\<n>x also holds the program's own larger buttons: the eyes are a set once their
  // folder is there.
  if (std::filesystem::is_directory(folder / "Images" / dir / "Eyes")) {
    const std::shared_ptr<const ui::Bitmap>* baseEyes[2] = {&base.leftEye, &base.rightEye};
    for (int i = 0; i < 2; ++i) {
      const std::string file = SetFile(i == 0 ? "Images\\Eyes\\left.bmp" : "Images\\Eyes\\right.bmp", n);
      checked.insert(file);
      if (!std::filesystem::is_regular_file(Under(folder, file))) {
        Collector(eyeFindings, file).Add(Rule::IncompleteSet, "not found");
        continue;
      }
      eyes[i] = CheckEyeBitmap(folder, file, n, eyeFindings);
      const std::shared_ptr<const ui::Bitmap>& small = *baseEyes[i];
      if (eyes[i] && small && (eyes[i]->Width() != n * small->Width() || eyes[i]->Height() != n * small->Height()))
        Collector(eyeFindings, file).Add(Rule::SetSize, SizeText(eyes[i]->Width(), eyes[i]->Height()) + ", the 1x file " +
                                                            SizeText(small->Width(), small->Height()));
    }
  }
  if (std::filesystem::is_directory(folder / "Movies" / dir)) {
    // The pupils laid on this set's eye movies are its own.
    const Cover leftCover = eyes[0] ? PupilCover(*eyes[0], true, n) : Cover{};
    const Cover rightCover = eyes[1] ? PupilCover(*eyes[1], false, n) : Cover{};
    for (const MovieEntry& small : base.movies) {
      MovieEntry e = small;
      e.file = SetFile(small.file, n);
      e.movie = nullptr;
      checked.insert(e.file);
      if (!std::filesystem::is_regular_file(Under(folder, e.file))) {
        Collector(findings, e.file).Add(Rule::IncompleteSet, "not found");
        continue;
      }
      CheckMovie(folder, e, n, leftCover, rightCover, findings);
      if (e.movie && small.movie) {
        Collector c(findings, e.file);
        CompareFrames(*e.movie, *small.movie, c);
      }
    }
  }
  findings.insert(findings.end(), eyeFindings.begin(), eyeFindings.end());
  // Everything else in the set's folders, in a fixed order.
  for (const char* top : {"Movies", "Images"}) {
    std::vector<std::string> files;
    std::error_code ec;
    const std::filesystem::path root = folder / top / dir;
    for (std::filesystem::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
      if (!it->is_regular_file(ec)) continue;
      std::string rel;
      for (const auto& part : std::filesystem::relative(it->path(), root, ec)) rel += "\\" + part.string();
      files.push_back(rel);
    }
    std::sort(files.begin(), files.end());
    for (const std::string& rel : files) {
      const std::string file = std::string(top) + "\\" + dir + rel;
      if (!checked.count(file)) CheckPartner(folder, file, std::string(top) + rel, n, findings);
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
  set.leftEye = CheckEyeBitmap(folder, "Images\\Eyes\\left.bmp", 1, eyeFindings);
  set.rightEye = CheckEyeBitmap(folder, "Images\\Eyes\\right.bmp", 1, eyeFindings);
  for (int i = 0; i < CAnimator::kMovieCount; ++i) {
    MovieEntry e;
    e.file = CAnimator::kMovieFiles[i];
    e.control = i < CAnimator::kControlCount;
    e.ringing = i == kRingingMovie;
    e.eyes = !e.control && CAnimator::kShowsEyes[i - CAnimator::kControlCount];
    set.movies.push_back(e);
  }
  const Cover leftCover = set.leftEye ? PupilCover(*set.leftEye, true, 1) : Cover{};
  const Cover rightCover = set.rightEye ? PupilCover(*set.rightEye, false, 1) : Cover{};
  for (MovieEntry& e : set.movies) CheckMovie(folder, e, 1, leftCover, rightCover, set.findings);
  set.findings.insert(set.findings.end(), eyeFindings.begin(), eyeFindings.end());
  set.largerSets = FindLargerSets(folder);
  for (int n : set.largerSets) CheckLargerSet(folder, n, set, set.findings);
  return set;
}

}  // namespace petcheck
