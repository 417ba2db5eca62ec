#include <gtest/gtest.h>

#include <string>

#include "engine/foundation/Memory.h"
#include "engine/foundation/String.h"

namespace {

TEST(String, DefaultIsEmptyAndEqualsEveryEmptyText) {
  String none;
  EXPECT_EQ(none.Length(), 0u);
  EXPECT_EQ(none.Capacity(), 0u);
  EXPECT_EQ(none.Buffer(), nullptr);
  EXPECT_TRUE(none == "");
  EXPECT_TRUE(none == String());
  EXPECT_TRUE(none == String(""));
  EXPECT_FALSE(none == "a");
  EXPECT_TRUE(String("abc") != String("abd"));
  EXPECT_TRUE(String("abc") != "ab");
}

TEST(String, CapacityRulesAreExact) {
  String s(20u);
  EXPECT_EQ(s.Capacity(), 21u);
  s = "abc";
  EXPECT_EQ(s.Capacity(), 21u);  // never shrinks
  s = "123456789012345678901234567890";
  EXPECT_EQ(s.Capacity(), 31u);
  s = "x";
  EXPECT_STREQ(s.Chars(), "x");
  // The tail of the buffer stays zero-filled after a shorter assignment.
  for (uint32_t i = 1; i < s.Capacity(); ++i) EXPECT_EQ(s[i], '\0') << i;

  String t("abc");
  EXPECT_EQ(t.Capacity(), 4u);
  t += "def";
  EXPECT_STREQ(t.Chars(), "abcdef");
  EXPECT_EQ(t.Capacity(), 7u);
  t += "";
  EXPECT_EQ(t.Capacity(), 7u);  // fits: no new block

  String none;
  none += String("xy");
  EXPECT_STREQ(none.Chars(), "xy");
  EXPECT_EQ(none.Capacity(), 3u);
}

TEST(String, EveryBufferIsCountedAndFreed) {
  MemoryCounters before = GetMemoryCounters();
  {
    String a("hello");   // 6 bytes
    String b(" world");  // 7 bytes
    a += b;              // a temporary copy of a (6) and the new block (12)
  }
  MemoryCounters after = GetMemoryCounters();
  EXPECT_EQ(after.objectAllocations - before.objectAllocations, 4u);
  EXPECT_EQ(after.objectBytes - before.objectBytes, 6u + 7u + 6u + 12u);
  EXPECT_EQ(after.objectFrees - before.objectFrees, 4u);
}

TEST(String, CopiesAndSelfAppendsKeepTheText) {
  String a("abc");
  a.noNewline = 1;
  String b(a);
  EXPECT_EQ(b.noNewline, 0);  // the flag is not copied
  b = b;
  EXPECT_STREQ(b.Chars(), "abc");
  b += b;
  EXPECT_STREQ(b.Chars(), "abcabc");
  b += b.Chars() + 3;  // characters from inside its own buffer
  EXPECT_STREQ(b.Chars(), "abcabcabc");
  b = b.Chars() + 6;
  EXPECT_STREQ(b.Chars(), "abc");
  EXPECT_STREQ((String() + "x").Chars(), "x");
  EXPECT_STREQ((String("ab") + String("cd")).Chars(), "abcd");
}

TEST(String, FormatAppendsNewlineUnlessFlagged) {
  String s;
  s.Format("x=%d", 5);
  EXPECT_STREQ(s.Chars(), "x=5\n");
  s.noNewline = 1;
  s.Format("x=%d", 5);
  EXPECT_STREQ(s.Chars(), "x=5");
}

TEST(String, FormatCapsLongTextsAndKeepsTheNewline) {
  const std::string longText(600, 'a');
  String s;
  s.Format("%s", longText.c_str());
  EXPECT_EQ(s.Length(), 255u);
  EXPECT_EQ(s[254], '\n');
  EXPECT_EQ(s[253], 'a');
  s.noNewline = 1;
  s.Format("%s", longText.c_str());
  EXPECT_EQ(s.Length(), 255u);
  EXPECT_EQ(s[254], 'a');
  s.noNewline = 0;
  s.Format("%s", std::string(254, 'b').c_str());  // exactly fits with the newline
  EXPECT_EQ(s.Length(), 255u);
  EXPECT_EQ(s[253], 'b');
  EXPECT_EQ(s[254], '\n');
}

TEST(String, LimitedAssignmentTakesAtMostTheLimit) {
  String s;
  s.AssignCharsLimited("abcdef", 3);
  EXPECT_STREQ(s.Chars(), "abc");
  s.AssignCharsLimited("xy", 10);
  EXPECT_STREQ(s.Chars(), "xy");
  s.AssignCharsLimited(nullptr, 4);
  EXPECT_STREQ(s.Chars(), "");
}

TEST(String, FindSearchesFromStartOrFromZero) {
  String s("abcabc");
  struct Case {
    const char* needle;
    int start;
    int index;
  };
  const Case cases[] = {{"bc", 0, 1},  {"bc", 2, 4}, {"bc", 6, 1},  {"bc", 99, 1},
                        {"bc", -4, 1}, {"x", 0, -1}, {"abc", 4, -1}};
  for (const Case& c : cases) EXPECT_EQ(s.Find(c.needle, c.start), c.index) << c.needle << " from " << c.start;
  EXPECT_EQ(String().Find("a"), -1);
  EXPECT_EQ(s.Find(String("ca")), 2);
}

TEST(String, PiecesClampToTheText) {
  String s("abc");
  struct Case {
    String piece;
    const char* expected;
  };
  const Case cases[] = {
      {s.Right(10), "abc"}, {s.Right(2), "bc"}, {s.Right(-1), ""},      {s.Left(0), ""},    {s.Left(2), "ab"},
      {s.Left(10), "abc"},  {s.Left(-3), ""},   {s.Mid(5, 2), ""},      {s.Mid(1, 1), "b"}, {s.Mid(1, 10), "bc"},
      {s.Mid(-2, 2), "ab"}, {s.Mid(1, -1), ""}, {String().Left(3), ""},
  };
  for (const Case& c : cases) EXPECT_STREQ(c.piece.Chars(), c.expected);
  EXPECT_STREQ(s.Chars(), "abc");
}

TEST(String, CountWordsCountsRuns) {
  struct Case {
    const char* text;
    int words;
  };
  const Case cases[] = {{"a  b", 2}, {"   ", 1}, {"", 0}, {"one", 1}, {"\tone two\r", 2}, {"a\nb c", 2}};
  for (const Case& c : cases) EXPECT_EQ(String(c.text).CountWords(), c.words) << '"' << c.text << '"';
  EXPECT_EQ(String().CountWords(), 0);
}

TEST(String, GetWordCountsEverySeparatorAndStopsAtTheEnd) {
  struct Case {
    const char* text;
    int index;
    const char* word;
  };
  const Case cases[] = {
      {"a  b", 0, "a"},     {"a  b", 1, ""},    {"a  b", 2, "b"},    {" a", 0, ""}, {" a", 1, "a"},
      {"x\ty\r\n", 1, "y"}, {"one two", 2, ""}, {"one two", 50, ""}, {"", 0, ""},   {"", 3, ""},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(String(c.text).GetWord(c.index).Chars(), c.word) << '"' << c.text << "\" word " << c.index;
  }
  EXPECT_STREQ(String().GetWord(1).Chars(), "");
}

TEST(String, TrimsKeepTheFirstCharacterAndZeroTheTail) {
  struct Case {
    const char* text;
    void (String::*trim)();
    const char* expected;
  };
  const Case cases[] = {
      {" ", &String::TrimRight, " "},  {"ab \r\n", &String::TrimRight, "ab"}, {"\t x", &String::TrimLeft, "x"},
      {"\t x \n", &String::Trim, "x"}, {"\n", &String::TrimLeft, "\n"},       {"", &String::Trim, ""},
  };
  for (const Case& c : cases) {
    String s(c.text);
    (s.*c.trim)();
    EXPECT_STREQ(s.Chars(), c.expected) << '"' << c.text << '"';
    for (uint32_t i = s.Length(); i < s.Capacity(); ++i) EXPECT_EQ(s[i], '\0');
  }
  String none;
  none.Trim();
  EXPECT_EQ(none.Buffer(), nullptr);
}

TEST(String, InPlaceEditsKeepTheBuffer) {
  String s("Data\\Fonts\\A.png");
  uint32_t capacity = s.Capacity();
  s.ReplaceChar('\\', '/');
  EXPECT_STREQ(s.Chars(), "Data/Fonts/A.png");
  s.ReplaceChar('\0', 'x');  // would unterminate the text: ignored
  EXPECT_EQ(s.Length(), capacity - 1);
  s.ToLower();
  EXPECT_STREQ(s.Chars(), "data/fonts/a.png");
  s.ToUpper();
  EXPECT_STREQ(s.Chars(), "DATA/FONTS/A.PNG");
  s.ClearText();
  EXPECT_EQ(s.Length(), 0u);
  EXPECT_EQ(s.Capacity(), capacity);
  String none;
  none.ToLower();
  none.ReplaceChar('a', 'b');
  EXPECT_EQ(none.Buffer(), nullptr);
}

}  // namespace
