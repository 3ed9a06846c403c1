#include "net/paragraph_text.h"

#include <gtest/gtest.h>

#include <string>

namespace ws {
namespace {

std::string extracted(std::string reply) {
  extractParagraphText(reply);
  return reply;
}

TEST(ExtractParagraphText, KeepsParagraphTextWithoutTags) {
  EXPECT_EQ(extracted("<p>Hallo <b>Welt</b>!</p>"), "Hallo Welt! ");
  EXPECT_EQ(extracted("<p>a</p><p>b</p>"), "a b ");
  EXPECT_EQ(extracted("<p>Zeile<br>Zwei</p>"), "ZeileZwei ");
  EXPECT_EQ(extracted("<p>K&amp;K</p>"), "K&amp;K ");
  EXPECT_EQ(extracted("<p></p>"), " ");
}

TEST(ExtractParagraphText, IgnoresEverythingOutsideExactMarkers) {
  EXPECT_EQ(extracted("HTTP/1.0 200 OK\r\n\r\n<h1>Titel</h1><p>Text</p><ul><li>x</li></ul>"),
            "Text ");
  EXPECT_EQ(extracted("<p class=x>a</p>"), "");
  EXPECT_EQ(extracted("<P>a</P>"), "");
  EXPECT_EQ(extracted("Error: Couldn't connect to host"), "");
  EXPECT_EQ(extracted(""), "");
}

TEST(ExtractParagraphText, UnclosedParagraphGivesOneBlankAndEndsTheScan) {
  EXPECT_EQ(extracted("<p>a"), " ");
  EXPECT_EQ(extracted("<p>x</p> ... <p>y"), "x  ");
  EXPECT_EQ(extracted("<p>x</p> <p>y <p>z</p>"), "x y z ");  // an inner "<p>" is a tag
}

TEST(ExtractParagraphText, StrayAndOpenTagMarks) {
  EXPECT_EQ(extracted("<p>a>b</p>"), "ab ");
  EXPECT_EQ(extracted("<p>a<b c</p><p>d</p>"), "a d ");  // the open tag ends with its paragraph
}

TEST(ExtractParagraphText, FoldsTheCollectedText) {
  EXPECT_EQ(extracted("<p>Gr\xC3\xBC\xC3\x9F"
                      "e</p>"),
            "Gr\xFC\xDF"
            "e ");
  // A lone lead byte at the end of a paragraph swallows the blank that follows it.
  EXPECT_EQ(extracted("<p>a\xC3</p><p>b</p>"), "a?b ");
  // A lead byte left by a dropped tag pairs with the next kept byte.
  EXPECT_EQ(extracted("<p>\xC3<i>\xBC</i></p>"), "\xFC ");
}

TEST(ExtractParagraphText, LongPageKeepsOrderAcrossManyParagraphs) {
  std::string page = "<html><body>";
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    std::string word = "wort" + std::to_string(i);
    page += "<div><p>" + word + "<a href=\"/wiki/" + word + "\">" + word + "</a></p></div>\n";
    expected += word + word + " ";
  }
  EXPECT_EQ(extracted(page), expected);
}

TEST(FoldUtf8Latin1, MapsEveryListedLetter) {
  const std::string in =
      "\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F\xC3\xA0\xC3\xA1\xC3\xA4\xC3\xA7"
      "\xC3\xA8\xC3\xA9\xC3\xB2\xC3\xB6\xC3\xBA\xC3\xBC";
  EXPECT_EQ(foldUtf8Latin1(in),
            "\xC4\xD6\xDC\xDF\xE0\xE1\xE4"
            "c\xE8\xE9\xF2\xF6\xFA\xFC");
}

TEST(FoldUtf8Latin1, OtherFollowersAndTrailingLeadBecomeQuestionMarks) {
  EXPECT_EQ(foldUtf8Latin1("\xC3\xB1"), "?");          // n with tilde
  EXPECT_EQ(foldUtf8Latin1("a\xC3"), "a?");            // lead byte at the end
  EXPECT_EQ(foldUtf8Latin1("\xC3\xC3\xBC"), "?\xBC");  // a lead consumes the next lead
  EXPECT_EQ(foldUtf8Latin1("\x47\x72\xC3\xBC\xC3\x9F\x65"), "\x47\x72\xFC\xDF\x65");
}

TEST(FoldUtf8Latin1, LeavesOtherMultiByteSequencesAlone) {
  const std::string other =
      "\xC2\xA0\xE2\x80\x9E"
      "x\xE2\x80\x93";
  EXPECT_EQ(foldUtf8Latin1(other), other);
  EXPECT_EQ(foldUtf8Latin1(""), "");
}

}  // namespace
}  // namespace ws
