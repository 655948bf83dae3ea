#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "alarm/Reestr.h"

using platform::RegType;

namespace {
constexpr const char* kKey = TestEnvironment::kKey;
const std::string kListPath = std::string(TestEnvironment::kProgramDir) + "Playlist.txt";
}  // namespace

TEST(Reestr, ReadsReportFoundOnlyForTheRightType) {
  TestEnvironment env;
  env.registry.PutDword(kKey, "int", 0xFFFFFFF6u);  // -10
  env.registry.PutString(kKey, "intAsText", "12");
  env.registry.PutDword(kKey, "five", 5);
  env.registry.PutString(kKey, "text", "abc");
  env.registry.PutString(kKey, "expand", "%TEMP%\\x", RegType::ExpandSz);
  env.registry.PutString(kKey, "empty", "");
  env.registry.PutDword(kKey, "textAsDword", 7);
  env.registry.PutRaw(kKey, "embeddedNul", RegType::Sz, {'a', 'b', 0, 'c', 0});
  env.registry.PutRaw(kKey, "noTerminator", RegType::Sz, {'x', 'y'});
  env.registry.PutRaw(kKey, "longBinary", RegType::Binary, {1, 2, 3, 4, 5, 6});
  CReestr store;
  ASSERT_TRUE(store.IsOpen());

  int i = 99;
  EXPECT_TRUE(store.GetInt("int", i));
  EXPECT_EQ(i, -10);
  EXPECT_FALSE(store.GetInt("intAsText", i));
  EXPECT_EQ(i, 0);
  EXPECT_FALSE(store.GetInt("missing", i));
  EXPECT_FALSE(store.GetInt("longBinary", i));

  bool b = false;
  EXPECT_TRUE(store.GetBool("five", b));
  EXPECT_TRUE(b);
  EXPECT_FALSE(store.GetBool("text", b));
  EXPECT_FALSE(b);

  std::string s = "old";
  EXPECT_TRUE(store.GetString("text", s));
  EXPECT_EQ(s, "abc");
  EXPECT_TRUE(store.GetString("expand", s));
  EXPECT_EQ(s, "%TEMP%\\x");  // not expanded
  EXPECT_FALSE(store.GetString("empty", s));
  EXPECT_EQ(s, "");
  EXPECT_FALSE(store.GetString("textAsDword", s));
  EXPECT_EQ(s, "");
  EXPECT_TRUE(store.GetString("embeddedNul", s));
  EXPECT_EQ(s, "ab");
  EXPECT_TRUE(store.GetString("noTerminator", s));
  EXPECT_EQ(s, "xy");
  EXPECT_FALSE(store.GetString("missing", s));
}

TEST(Reestr, WritesUseTheirTypesAndFailuresNameTheValue) {
  TestEnvironment env;
  CReestr store;
  store.SetBool("flag", true);
  store.SetInt("neg", -3);
  store.SetString("path", "C:\\Музыка\\a.wav");
  const auto* flag = env.registry.Get(kKey, "flag");
  ASSERT_NE(flag, nullptr);
  EXPECT_EQ(flag->type, RegType::Dword);
  EXPECT_EQ(env.registry.Dword(kKey, "flag"), 1u);
  EXPECT_EQ(env.registry.Dword(kKey, "neg"), 0xFFFFFFFDu);
  const auto* path = env.registry.Get(kKey, "path");
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->type, RegType::Sz);
  EXPECT_EQ(path->data.size(), std::string("C:\\Музыка\\a.wav").size() + 1);
  EXPECT_EQ(path->data.back(), 0);

  env.registry.failingWrites.insert("xpos");
  try {
    store.SetInt("xpos", 1);
    FAIL() << "a refused write must raise";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'xpos'");
  }
}

TEST(Reestr, AStoreWhoseKeyDidNotOpenNeitherReadsNorWrites) {
  TestEnvironment env;
  env.registry.refuseKeys = true;
  CReestr store;
  EXPECT_FALSE(store.IsOpen());
  int i = 5;
  EXPECT_FALSE(store.GetInt("x", i));
  EXPECT_EQ(i, 0);
  EXPECT_NO_THROW(store.SetInt("x", 1));
  EXPECT_EQ(env.registry.writes, 0);
}

TEST(ListFile, FormatAndParsing) {
  std::vector<std::string> list;
  EXPECT_EQ(FormatListFile({}), "0\r\n");
  EXPECT_EQ(FormatListFile({"C:\\a b.wav", ""}), "2\r\nC:\\a b.wav\r\n\r\n");

  EXPECT_TRUE(ParseListFile("", list));
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(ParseListFile("0\r\n", list));
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(ParseListFile(" \t\r\n  2 trailing words\r\n  a  \r\nb\r\n", list));
  EXPECT_EQ(list, (std::vector<std::string>{"  a  ", "b"}));
  // Fewer lines than the count: the missing entries are empty.
  EXPECT_TRUE(ParseListFile("3\r\nx\r\ny\r\n", list));
  EXPECT_EQ(list, (std::vector<std::string>{"x", "y", ""}));
  // More lines than the count: the rest is never read.
  EXPECT_TRUE(ParseListFile("2\r\n1\r\n2\r\n3\r\n4\r\n5\r\n", list));
  EXPECT_EQ(list, (std::vector<std::string>{"1", "2"}));
  // Unix line ends read the same.
  EXPECT_TRUE(ParseListFile("2\nA\nB", list));
  EXPECT_EQ(list, (std::vector<std::string>{"A", "B"}));
  EXPECT_FALSE(ParseListFile("two\r\na\r\n", list));
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(ParseListFile("12x\r\n", list));
  EXPECT_FALSE(ParseListFile("99999999999999999999\r\n", list));
}

TEST(ListFile, AHugeCountNeverOutgrowsTheFile) {
  std::vector<std::string> list;
  const std::string text = "2000000000\r\nonly\r\n";
  EXPECT_TRUE(ParseListFile(text, list));
  EXPECT_EQ(list.front(), "only");
  EXPECT_LE(list.size(), text.size());
}

TEST(ListFile, SaveAndLoadRoundTripBesideTheProgram) {
  TestEnvironment env;
  CReestr store;
  std::vector<std::string> list = {"C:\\Music\\one.wav", "D:\\два.wav", "C:\\Music\\one.wav"};
  store.SaveList("Playlist", list);
  EXPECT_EQ(*env.files.Peek(kListPath), "3\r\nC:\\Music\\one.wav\r\nD:\\два.wav\r\nC:\\Music\\one.wav\r\n");
  std::vector<std::string> back = {"stale"};
  EXPECT_TRUE(store.LoadList("Playlist", back));
  EXPECT_EQ(back, list);
  store.SaveList("Playlist", {});
  EXPECT_EQ(*env.files.Peek(kListPath), "0\r\n");
}

TEST(ListFile, AFailedSaveLeavesTheOldFileWhole) {
  TestEnvironment env;
  CReestr store;
  store.SaveList("Playlist", {"keep.wav"});
  env.files.failWriteAfter = 3;
  store.SaveList("Playlist", {"new1.wav", "new2.wav"});
  EXPECT_EQ(*env.files.Peek(kListPath), "1\r\nkeep.wav\r\n");
  env.files.failWriteAfter = -1;
  env.files.failReplace = true;
  store.SaveList("Playlist", {"new1.wav"});
  EXPECT_EQ(*env.files.Peek(kListPath), "1\r\nkeep.wav\r\n");
  EXPECT_FALSE(env.files.Peek(kListPath + ".new").has_value());
}

TEST(ListFile, AMissingFileFailsToLoad) {
  TestEnvironment env;
  CReestr store;
  std::vector<std::string> list = {"x"};
  EXPECT_FALSE(store.LoadList("Playlist", list));
  EXPECT_TRUE(list.empty());
}
