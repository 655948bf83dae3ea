#include "petcheck/PetCheck.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "petcheck/ContactSheet.h"
#include "ui/BmpReader.h"

namespace fs = std::filesystem;
using petcheck::Finding;
using petcheck::PetSet;
using petcheck::Rule;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Colour indices of the small test movies.
enum : std::uint8_t { kKey = 0, kWhite = 1, kOrange = 2, kDark = 3, kSpare = 4 };

struct TestFrame {
  std::vector<std::uint8_t> px;  // w * h indices
  int delayCs = 100;
};

struct TestMovie {
  int w = petcheck::kFrameWidth, h = petcheck::kFrameHeight;
  std::vector<TestFrame> frames;
  bool transparent = true;
  std::uint32_t spare = 0x204060;  // the colour of index kSpare
  std::string signature = "GIF89a";
};

// A GIF with an 8-colour table whose LZW stream holds only single-pixel codes: the code
// table still grows as a decoder builds it, so the code size follows it up to 12 bits.
Bytes EncodeGif(const TestMovie& m) {
  Bytes b(m.signature.begin(), m.signature.end());
  b.insert(b.end(), {std::uint8_t(m.w), std::uint8_t(m.w >> 8), std::uint8_t(m.h), std::uint8_t(m.h >> 8), 0x82, 0, 0});
  const std::uint32_t colours[8] = {0x800080, 0xFFFFFF, 0xF08C28, 0x1E1414, m.spare, 0, 0, 0};
  for (std::uint32_t c : colours) b.insert(b.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
  for (const TestFrame& f : m.frames) {
    b.insert(b.end(), {0x21, 0xF9, 4, std::uint8_t(2 << 2 | (m.transparent ? 1 : 0)), std::uint8_t(f.delayCs),
                       std::uint8_t(f.delayCs >> 8), kKey, 0});
    b.insert(b.end(), {0x2C, 0, 0, 0, 0, std::uint8_t(m.w), std::uint8_t(m.w >> 8), std::uint8_t(m.h),
                       std::uint8_t(m.h >> 8), 0});
    Bytes data;
    std::uint32_t acc = 0;
    int bits = 0, size = 4, next = 10;
    auto emit = [&](int code) {
      for (acc |= std::uint32_t(code) << bits, bits += size; bits >= 8; acc >>= 8, bits -= 8) data.push_back(std::uint8_t(acc));
    };
    emit(8);
    for (std::size_t i = 0; i < f.px.size(); ++i) {
      emit(f.px[i]);
      if (i == 0 || next >= 4096) continue;
      if (++next == (1 << size) && size < 12) ++size;
    }
    emit(9);
    if (bits > 0) data.push_back(std::uint8_t(acc));
    b.push_back(3);
    for (std::size_t i = 0; i < data.size(); i += 255) {
      const std::size_t n = std::min<std::size_t>(255, data.size() - i);
      b.push_back(std::uint8_t(n));
      b.insert(b.end(), data.begin() + std::ptrdiff_t(i), data.begin() + std::ptrdiff_t(i + n));
    }
    b.push_back(0);
  }
  b.push_back(0x3B);
  return b;
}

// A well-made pet: an orange body and two white eyes centred on the pupil points, inside
// the visible corner; n times larger for the set of scale n.
std::vector<std::uint8_t> Pet(int w, int h, int n = 1) {
  std::vector<std::uint8_t> px(std::size_t(w) * std::size_t(h), kKey);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint8_t& p = px[std::size_t(y) * std::size_t(w) + std::size_t(x)];
      const double u = (x + 0.5) / n - 0.5, v = (y + 0.5) / n - 0.5;  // in 1x pixels
      if (std::hypot((u - 78) / 40.0, (v - 80) / 36.0) <= 1.0) p = kOrange;
      if (std::hypot(u - 67, v - 60) <= 12 || std::hypot(u - 90, v - 60) <= 12) p = kWhite;
    }
  }
  return px;
}

TestMovie GoodMovie(int n = 1) {
  static const std::vector<std::uint8_t> pet = Pet(petcheck::kFrameWidth, petcheck::kFrameHeight);
  static const std::vector<std::uint8_t> pet2 = Pet(2 * petcheck::kFrameWidth, 2 * petcheck::kFrameHeight, 2);
  TestMovie m;
  m.w *= n, m.h *= n;
  m.frames = {{n == 1 ? pet : pet2, 100}, {n == 1 ? pet : pet2, 100}};
  return m;
}

void Put(TestFrame& f, int x, int y, std::uint8_t index, int w = petcheck::kFrameWidth) {
  f.px[std::size_t(y) * std::size_t(w) + std::size_t(x)] = index;
}

// A round pupil on the purple key, 7 x 7 or n times that.
ui::Bitmap Pupil(int n = 1) {
  ui::Bitmap b(7 * n, 7 * n, ui::kKeyColour);
  const double c = (7 * n - 1) / 2.0;
  for (int y = 0; y < 7 * n; ++y)
    for (int x = 0; x < 7 * n; ++x)
      if (std::hypot(x - c, y - c) <= 3.2 * n) b.At(x, y) = ui::Rgb(20, 20, 30);
  return b;
}

const char* const kMovies[] = {"Control/1", "Control/2", "Control/3", "Control/4", "Control/10", "Idle/5",
                               "Idle/6",    "Idle/7",    "Idle/8",    "Idle/9",    "Idle/11",    "Idle/12",
                               "Idle/13",   "Idle/14",   "Idle/15",   "Idle/16"};

class PetCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("petcheck-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
               std::to_string(::getpid()));
    fs::remove_all(folder_);
    for (const char* name : kMovies) WriteMovie(name, GoodMovie());
    WriteFile("Images/Eyes/left.bmp", petcheck::EncodeBmp(Pupil()));
    WriteFile("Images/Eyes/right.bmp", petcheck::EncodeBmp(Pupil()));
  }
  void TearDown() override { fs::remove_all(folder_); }

  void WriteFile(const std::string& rel, const Bytes& bytes) {
    fs::create_directories((folder_ / rel).parent_path());
    std::ofstream(folder_ / rel, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                         std::streamsize(bytes.size()));
  }
  void WriteMovie(const std::string& name, const TestMovie& m) { WriteFile("Movies/" + name + ".gif", EncodeGif(m)); }
  // A well-made 2x set: every movie and both pupils twice the size.
  void WriteLargerSet() {
    static const Bytes movie = EncodeGif(GoodMovie(2));
    for (const char* name : kMovies) WriteFile(std::string("Movies/2x/") + name + ".gif", movie);
    WriteFile("Images/2x/Eyes/left.bmp", petcheck::EncodeBmp(Pupil(2)));
    WriteFile("Images/2x/Eyes/right.bmp", petcheck::EncodeBmp(Pupil(2)));
  }

  PetSet Check() { return petcheck::CheckFolder(folder_); }

  fs::path folder_;
};

std::string All(const PetSet& set) {
  std::string s;
  for (const Finding& f : set.findings) s += petcheck::Describe(f) + "\n";
  return s;
}

// The set has exactly one finding, and it is this one.
void ExpectOnly(const PetSet& set, const std::string& file, Rule rule, int frame = -1, int x = -1, int y = -1) {
  ASSERT_EQ(set.findings.size(), 1u) << All(set);
  const Finding& f = set.findings[0];
  EXPECT_EQ(f.file, file) << All(set);
  EXPECT_EQ(f.rule, rule) << All(set);
  EXPECT_EQ(f.frame, frame) << All(set);
  EXPECT_EQ(f.x, x) << All(set);
  EXPECT_EQ(f.y, y) << All(set);
}

bool Has(const PetSet& set, const std::string& file, Rule rule) {
  for (const Finding& f : set.findings)
    if (f.file == file && f.rule == rule) return true;
  return false;
}

TEST(PetCheck, OurOwnSetPasses) {
  const PetSet set = petcheck::CheckFolder(fs::path(RAVILO_SOURCE_DIR) / "data");
  EXPECT_TRUE(set.Passes()) << All(set);
  ASSERT_EQ(set.movies.size(), 16u);
  for (const auto& m : set.movies) EXPECT_TRUE(m.movie) << m.file;
}

TEST_F(PetCheckTest, AWellMadeSmallSetPasses) {
  const PetSet set = Check();
  EXPECT_TRUE(set.Passes()) << All(set);
  EXPECT_TRUE(set.Loads());
  EXPECT_TRUE(set.largerSets.empty());  // 1x art only is a complete pet
}

TEST_F(PetCheckTest, LargerSetFollowsTheRulesAtItsScale) {
  WriteLargerSet();
  PetSet set = Check();
  EXPECT_TRUE(set.Passes()) << All(set);
  EXPECT_EQ(set.largerSets, std::vector<int>{2});

  // A fringe is found in the 2x movie, at its own pixel.
  const int w2 = 2 * petcheck::kFrameWidth;
  TestMovie m = GoodMovie(2);
  m.spare = 0x8C0A82;
  Put(m.frames[1], 100, 200, kSpare, w2);
  WriteMovie("2x/Idle/11", m);
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(Check(), "Movies\\2x\\Idle\\11.gif", Rule::NearKey, 1, 100, 200));
  WriteMovie("2x/Idle/11", GoodMovie(2));

  // The visible corner is twice as large: x = 277 is on screen, x = 278 is not.
  m = GoodMovie(2);
  Put(m.frames[1], 2 * petcheck::kVisibleWidth - 1, 50, kOrange, w2);
  WriteMovie("2x/Idle/5", m);
  EXPECT_TRUE(Check().Passes()) << All(Check());
  Put(m.frames[1], 2 * petcheck::kVisibleWidth, 50, kOrange, w2);
  WriteMovie("2x/Idle/5", m);
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(Check(), "Movies\\2x\\Idle\\5.gif", Rule::OutsideVisibleArea, 1, 278, 50));
  WriteMovie("2x/Idle/5", GoodMovie(2));

  // The 2x pupils go to the 2x points: the right eye's lowest point is 12 px below its
  // centre (134, 120), and the lowest row of the 14 px pupil drawn there is 5 px further.
  m = GoodMovie(2);
  Put(m.frames[1], 134, 138, kDark, w2);
  WriteMovie("2x/Idle/15", m);
  EXPECT_TRUE(Check().Passes()) << All(Check());
  Put(m.frames[1], 134, 137, kDark, w2);
  WriteMovie("2x/Idle/15", m);
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(Check(), "Movies\\2x\\Idle\\15.gif", Rule::NoEyeWhite, 1, 134, 137));
  WriteMovie("2x/Idle/15", GoodMovie(2));

  // A 1x movie put in the 2x folder has the wrong size there.
  WriteMovie("2x/Control/2", GoodMovie());
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\2x\\Control\\2.gif", Rule::FrameSize));
  EXPECT_EQ(set.findings[0].detail, "172 x 136, want 344 x 272 in this set");
}

TEST_F(PetCheckTest, LargerSetMatchesItsOneXFiles) {
  WriteLargerSet();
  // The same frames with the same delays as the 1x movie.
  TestMovie m = GoodMovie(2);
  m.frames[1].delayCs = 90;
  WriteMovie("2x/Control/3", m);
  PetSet set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\2x\\Control\\3.gif", Rule::SetFrames, 1));
  EXPECT_EQ(set.findings[0].detail, "900 ms, the 1x frame 1000 ms");
  m.frames[1].delayCs = 100;
  m.frames.push_back(m.frames[0]);
  WriteMovie("2x/Control/3", m);
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(Check(), "Movies\\2x\\Control\\3.gif", Rule::SetFrames));
  WriteMovie("2x/Control/3", GoodMovie(2));

  // Pupils exactly twice the 1x ones.
  WriteFile("Images/2x/Eyes/right.bmp", petcheck::EncodeBmp(Pupil()));
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Images\\2x\\Eyes\\right.bmp", Rule::SetSize));
  EXPECT_EQ(set.findings[0].detail, "7 x 7, the 1x file 7 x 7");
  WriteFile("Images/2x/Eyes/right.bmp", petcheck::EncodeBmp(Pupil(2)));

  // Every other file of the set: a partner at the same 1x place, exactly twice its size.
  WriteFile("Images/2x/MainWindow/astopalarm.bmp", petcheck::EncodeBmp(ui::Bitmap(280, 210, ui::kKeyColour)));
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(Check(), "Images\\2x\\MainWindow\\astopalarm.bmp", Rule::NoPartner));
  WriteFile("Images/MainWindow/astopalarm.bmp", petcheck::EncodeBmp(ui::Bitmap(140, 104, ui::kKeyColour)));
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Images\\2x\\MainWindow\\astopalarm.bmp", Rule::SetSize));
  EXPECT_EQ(set.findings[0].detail, "280 x 210, the 1x file 140 x 104");
  WriteFile("Images/MainWindow/astopalarm.bmp", petcheck::EncodeBmp(ui::Bitmap(140, 105, ui::kKeyColour)));
  EXPECT_TRUE(Check().Passes()) << All(Check());

  // A set that lacks a movie is incomplete, though Ravilo still loads its 1x movie.
  fs::remove(folder_ / "Movies/2x/Idle/9.gif");
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\2x\\Idle\\9.gif", Rule::IncompleteSet));
  EXPECT_TRUE(set.Loads());
}

TEST_F(PetCheckTest, WrongFrameSize) {
  TestMovie m;
  m.h = 100;
  m.frames = {{Pet(m.w, m.h), 100}, {Pet(m.w, m.h), 100}};
  WriteMovie("Idle/7", m);
  const PetSet set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Idle\\7.gif", Rule::FrameSize));
  EXPECT_EQ(set.findings[0].detail, "172 x 100");
  EXPECT_TRUE(set.Loads());
}

TEST_F(PetCheckTest, MissingFile) {
  // The spare control movie is never played, yet Ravilo will not start without it.
  fs::remove(folder_ / "Movies/Control/10.gif");
  PetSet set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Control\\10.gif", Rule::MissingFile));
  EXPECT_FALSE(set.Loads());

  WriteMovie("Control/10", GoodMovie());
  fs::remove(folder_ / "Images/Eyes/right.bmp");
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Images\\Eyes\\right.bmp", Rule::MissingFile));
  EXPECT_FALSE(set.Loads());
}

TEST_F(PetCheckTest, OpaqueFirstFrame) {
  // No transparent colour: the key purple then shows, and so does the whole frame.
  TestMovie m = GoodMovie();
  m.transparent = false;
  WriteMovie("Idle/9", m);
  PetSet set = Check();
  EXPECT_TRUE(Has(set, "Movies\\Idle\\9.gif", Rule::OpaqueFirstFrame)) << All(set);
  EXPECT_TRUE(set.Loads());

  // The ringing loop may fill its frame, but its first frame's corners must stay transparent.
  WriteMovie("Idle/9", GoodMovie());
  m = GoodMovie();
  Put(m.frames[0], 171, 135, kOrange);
  WriteMovie("Control/4", m);
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Control\\4.gif", Rule::OpaqueFirstFrame, 0, 171, 135));
}

TEST_F(PetCheckTest, NearKeyFringePixel) {
  TestMovie m = GoodMovie();
  m.spare = 0x8C0A82;  // (140, 10, 130): 15.7 from the key
  Put(m.frames[1], 50, 100, kSpare);
  WriteMovie("Idle/11", m);
  PetSet set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Idle\\11.gif", Rule::NearKey, 1, 50, 100));

  // The key itself, drawn opaque, would be a hole in the pet.
  m.spare = 0x800080;
  WriteMovie("Idle/11", m);
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Idle\\11.gif", Rule::KeyColour, 1, 50, 100));

  // Just beyond the limit is a colour like any other.
  m.spare = 0xA80080;  // (168, 0, 128): 40 from the key in red alone, so a fringe
  WriteMovie("Idle/11", m);
  EXPECT_TRUE(Has(Check(), "Movies\\Idle\\11.gif", Rule::NearKey));
  m.spare = 0xA90080;  // 41 away
  WriteMovie("Idle/11", m);
  EXPECT_TRUE(Check().Passes());
}

TEST_F(PetCheckTest, MovieTooLong) {
  TestMovie idle = GoodMovie();
  idle.frames.assign(11, idle.frames[0]);  // 11 s
  WriteMovie("Idle/13", idle);
  PetSet set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Idle\\13.gif", Rule::TooLong));
  EXPECT_EQ(set.findings[0].detail, "lasts 11000 ms");

  // A control movie holds up hiding and exiting: 4 s at most.
  WriteMovie("Idle/13", GoodMovie());
  TestMovie control = GoodMovie();
  control.frames.assign(4, control.frames[0]);
  control.frames[3].delayCs = 150;  // 1 + 1 + 1 + 1.5 s
  WriteMovie("Control/2", control);
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Control\\2.gif", Rule::TooLong));
  control.frames[3].delayCs = 100;  // exactly 4 s
  WriteMovie("Control/2", control);
  EXPECT_TRUE(Check().Passes()) << All(Check());

  // A delay of 0 plays at 50 ms, not as the file says: the frame is named.
  TestMovie fast = GoodMovie();
  fast.frames[1].delayCs = 0;
  fast.frames[0].delayCs = 195;
  WriteMovie("Idle/16", fast);
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Idle\\16.gif", Rule::FrameDelay, 1));
}

TEST_F(PetCheckTest, UndecodableFile) {
  Bytes gif = EncodeGif(GoodMovie());
  gif.resize(400);  // ends in the middle of the first frame
  WriteFile("Movies/Idle/12.gif", gif);
  PetSet set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Idle\\12.gif", Rule::Undecodable));
  EXPECT_FALSE(set.Loads());
  EXPECT_FALSE(set.findings[0].detail.empty());

  WriteMovie("Idle/12", GoodMovie());
  WriteFile("Images/Eyes/left.bmp", Bytes{'B', 'M', 1, 2, 3});
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Images\\Eyes\\left.bmp", Rule::Undecodable));
  EXPECT_FALSE(set.Loads());
}

TEST_F(PetCheckTest, PixelOutsideVisibleArea) {
  TestMovie m = GoodMovie();
  Put(m.frames[1], 139, 50, kOrange);
  WriteMovie("Idle/5", m);
  PetSet set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Idle\\5.gif", Rule::OutsideVisibleArea, 1, 139, 50));

  m = GoodMovie();
  Put(m.frames[0], 20, 120, kOrange);
  Put(m.frames[1], 20, 121, kOrange);
  WriteMovie("Idle/5", m);
  set = Check();
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(set, "Movies\\Idle\\5.gif", Rule::OutsideVisibleArea, 0, 20, 120));
  EXPECT_EQ(set.findings[0].more, 1);  // frame 1's own pixel

  // The ringing loop plays centred on the desktop and may use the whole frame.
  WriteMovie("Idle/5", GoodMovie());
  m = GoodMovie();
  Put(m.frames[1], 160, 125, kOrange);
  WriteMovie("Control/4", m);
  EXPECT_TRUE(Check().Passes()) << All(Check());
}

TEST_F(PetCheckTest, EyeMovieNeedsWhiteWhereverAPupilCanGo) {
  // The right eye's pupil point goes at most 6 px below its centre (67, 60) and the pupil
  // reaches 3 px further: (67, 69) can be covered, (67, 70) cannot.
  TestMovie m = GoodMovie();
  Put(m.frames[1], 67, 70, kDark);
  WriteMovie("Idle/15", m);
  EXPECT_TRUE(Check().Passes()) << All(Check());
  Put(m.frames[1], 67, 69, kDark);
  WriteMovie("Idle/15", m);
  ASSERT_NO_FATAL_FAILURE(ExpectOnly(Check(), "Movies\\Idle\\15.gif", Rule::NoEyeWhite, 1, 67, 69));
  // Only the eye movies get pupils.
  WriteMovie("Idle/15", GoodMovie());
  WriteMovie("Idle/8", m);
  EXPECT_TRUE(Check().Passes()) << All(Check());
}

TEST_F(PetCheckTest, ContactSheetShowsEveryFrameOnACheckerboard) {
  TestMovie m = GoodMovie();
  m.frames.push_back(m.frames[0]);
  Put(m.frames[2], 30, 30, kDark);
  WriteMovie("Control/1", m);
  const PetSet set = Check();
  const ui::Bitmap sheet = petcheck::BuildContactSheet(set);
  const Bytes file = petcheck::EncodeBmp(sheet);
  const ui::Bitmap back = ui::ReadBmpFile(file);
  ASSERT_EQ(back.Width(), sheet.Width());
  ASSERT_EQ(back.Height(), sheet.Height());
  EXPECT_EQ(back.Pixels(), sheet.Pixels());
  // Control\1 is the first row: its third frame, with the dark pixel, is the third cell.
  const int left = 8 + 2 * (petcheck::kFrameWidth + 4), top = 8 + 16;
  EXPECT_EQ(back.At(left + 30, top + 30), ui::Rgb(0x1E, 0x14, 0x14));
  EXPECT_EQ(back.At(left + 67, top + 60), ui::Rgb(255, 255, 255));
  // Transparent pixels show a checkerboard, and the screen's edge is marked.
  EXPECT_NE(back.At(left + 2, top + 2), back.At(left + 10, top + 2));
  EXPECT_EQ(back.At(left + petcheck::kVisibleWidth, top + 2), back.At(left + 2, top + petcheck::kVisibleHeight));
  EXPECT_NE(back.At(left + petcheck::kVisibleWidth, top + 2), back.At(left + 2, top + 2));
}

}  // namespace
