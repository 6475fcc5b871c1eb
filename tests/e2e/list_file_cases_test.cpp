// List files that do not survive a plain ANSI reading, through a running nimbrel.exe:
// the bytes of each file before and after a confirm with its box left as it was shown,
// and a confirm that finds the black list in the way before anything is written.
#include "e2e/filter_fixture.h"
#include "support/desktop_windows.h"
#include "support/wait.h"

#include <cstdio>

namespace e2e {
namespace {

using namespace std::string_literals;

struct ListCase {
  const char* name;
  std::string before;
  std::string after;  // after a confirm with the box unchanged
  bool kept;          // left as it was, with a message naming it
};

const ListCase kUtf8EndingInLeadByte{"UTF-8 without a mark, a line ending in \xE4\xB8\xAD before CR LF",
                                     "ad\xE4\xB8\xAD\r\nnext\r\n", "ad\xE4\xB8\xAD\r\nnext\r\n", false};
const ListCase kNotUtf8{"neither UTF-8 nor GB2312, a lead byte before CR LF", "ad\xAD\r\nnext\r\n",
                        "ad\xAD\r\nnext\r\n", true};
const ListCase kUtf8WithMark{"UTF-8 with its mark", "\xEF\xBB\xBF\xE5\xB9\xBF\xE5\x91\x8A\r\nb\xE4\xB8\xAD\r\n",
                             "\xEF\xBB\xBF\xE5\xB9\xBF\xE5\x91\x8A\r\nb\xE4\xB8\xAD\r\n", false};
const ListCase kUtf16WithMark{"UTF-16 LE with its mark", "\xFF\xFE\x2D\x4E\r\0\n\0x\0"s,
                              "\xFF\xFE\x2D\x4E\r\0\n\0x\0"s, false};
const ListCase kNulInside{"a NUL byte inside", "ab\0cd\r\nef\r\n"s, "ab\0cd\r\nef\r\n"s, true};
const ListCase kLoneLineFeed{"ANSI with a lone LF", "a\nb", "a\r\nb", false};
const ListCase kGb2312{"ANSI (GB2312) text", "\xB9\xE3\xB8\xE6\r\n", "\xB9\xE3\xB8\xE6\r\n", false};

class ListFileCasesTest : public FilterEndToEndTest {
 protected:
  // Starts the program on these two files and confirms; the bytes are then checked.
  void confirm_unchanged(const ListCase& white_case, const ListCase& black_case) {
    SCOPED_TRACE(std::string("white: ") + white_case.name + ", black: " + black_case.name);
    put_file(white_, white_case.before);
    put_file(black_, black_case.before);
    ASSERT_TRUE(start_nimbrel());
    ASSERT_TRUE(post_command(ids::Button1));
    for (const auto* list : {&white_case, &black_case}) {
      if (!list->kept) continue;
      const HWND box = nimbrel_->wait_for_message_box(10s);
      ASSERT_NE(box, nullptr) << "no word about the file left as it was";
      const std::wstring& path = list == &white_case ? white_ : black_;
      EXPECT_NE(message_box_text(box).find(path), std::wstring::npos) << testing::PrintToString(message_box_text(box));
      press_ok(box);
      EXPECT_TRUE(wait_until([&] { return !IsWindow(box); }, 5s));
    }
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(main_); }, 10s)) << "the confirm went to its end";
    EXPECT_EQ(file_bytes(white_), white_case.after);
    EXPECT_EQ(file_bytes(black_), black_case.after);
    print_bytes(white_case, file_bytes(white_));
    print_bytes(black_case, file_bytes(black_));
    nimbrel_.reset();
  }

  // The bytes before and after, for the record.
  static void print_bytes(const ListCase& list, const std::optional<std::string>& after) {
    const auto hex = [](const std::string& bytes) {
      std::string text;
      for (unsigned char byte : bytes) {
        char two[4];
        std::snprintf(two, sizeof two, "%02X", byte);
        if (!text.empty()) text += ' ';
        text += two;
      }
      return text;
    };
    std::printf("[ BYTES    ] %s: before %s, after %s\n", list.name, hex(list.before).c_str(),
                after ? hex(*after).c_str() : "(unreadable)");
  }

  const std::wstring white_ = list_path(L"white.lis");
  const std::wstring black_ = list_path(L"black.lis");
};

TEST_F(ListFileCasesTest, FilesComeBackByteForByteOrAreLeftAsTheyWere) {
  set(L"killurl", L"1");
  set(L"killlevel", L"2");
  start_standin("--fake 1");
  {
    SCOPED_TRACE("a UTF-8 black list matches as the text it shows");
    put_file(black_, kUtf8WithMark.before);
    ASSERT_TRUE(start_nimbrel());
    EXPECT_EQ(fire_navigation(0, "http://x.test/\xE5\xB9\xBF\xE5\x91\x8A.html"), "cancel=1 sinks=1 failed=0");
    EXPECT_EQ(fire_navigation(0, "http://x.test/ok.html"), "cancel=0 sinks=1 failed=0");
    nimbrel_.reset();
  }
  confirm_unchanged(kUtf8EndingInLeadByte, kUtf8WithMark);
  confirm_unchanged(kUtf16WithMark, kNulInside);
  confirm_unchanged(kNotUtf8, kGb2312);
  confirm_unchanged(kLoneLineFeed, kGb2312);

  SCOPED_TRACE("a file left as it was is written once its box is changed");
  put_file(black_, kNulInside.before);
  ASSERT_TRUE(start_nimbrel());
  ASSERT_TRUE(set_control_text(control(ids::Memo2), L"edited"));
  ASSERT_TRUE(post_command(ids::Button1));
  EXPECT_TRUE(wait_until([&] { return file_bytes(black_) == "edited"; }, 10s));
  EXPECT_EQ(nimbrel_->wait_for_message_box(0ms), nullptr);
}

// A list saved by today's Notepad (UTF-8 without a mark) shows as written, and an edit
// writes it back as UTF-8 without a mark.
TEST_F(ListFileCasesTest, Utf8WithoutAMarkShowsAsWrittenAndStaysUtf8) {
  const std::string utf8 = "\xE8\xBF\x87\xE6\xBB\xA4\xE4\xB8\xAD\r\n\xE7\xBD\x91\xE7\xAB\x99\r\n";  // 过滤中, 网站
  put_file(white_, utf8);
  start_standin();
  ASSERT_TRUE(start_nimbrel());
  EXPECT_EQ(control_text(control(ids::Memo1)), L"过滤中\r\n网站\r\n");
  ASSERT_TRUE(set_control_text(control(ids::Memo1), L"过滤中\r\n网站\r\nad.example"));
  ASSERT_TRUE(post_command(ids::Button1));
  EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(main_); }, 10s)) << "the confirm went to its end";
  EXPECT_EQ(file_bytes(white_), utf8 + "ad.example");
  EXPECT_EQ(control_text(control(ids::Memo1)), L"过滤中\r\n网站\r\nad.example") << "read back as written";
}

// A black list that another program holds open, not sharing it at all or not letting it be
// replaced, stops the confirm before the white list is written, and the message names the
// black list. Files left behind by an earlier save (with the names a save uses for the new
// and the old bytes), read-only even, never stand in the way, and a save adds none.
TEST_F(ListFileCasesTest, AConfirmChecksBothFilesBeforeWritingEither) {
  const std::wstring folder = white_.substr(0, white_.find_last_of(L'\\') + 1);
  const std::wstring leftovers[] = {folder + L"lis0000.tmp", folder + L"lis0000.bak"};
  for (const std::wstring& leftover : leftovers) {
    put_file(leftover, "left behind");
    ASSERT_TRUE(SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_READONLY));
  }
  start_standin();
  const struct {
    const char* name;
    DWORD share;
  } holds[] = {{"not shared", 0}, {"shared for reading and writing, not for replacing", FILE_SHARE_READ | FILE_SHARE_WRITE}};
  for (const auto& hold : holds) {
    SCOPED_TRACE(hold.name);
    put_file(white_, "w\r\n");
    put_file(black_, "b\r\n");
    ASSERT_TRUE(start_nimbrel());
    ASSERT_TRUE(set_control_text(control(ids::Memo1), L"w2"));
    ASSERT_TRUE(set_control_text(control(ids::Memo2), L"b2"));
    HANDLE held = CreateFileW(black_.c_str(), GENERIC_READ, hold.share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    ASSERT_TRUE(post_command(ids::Button1));
    const HWND box = nimbrel_->wait_for_message_box(10s);
    EXPECT_NE(box, nullptr) << "a save that cannot be done was not reported";
    if (box) {
      EXPECT_EQ(message_box_text(box), L"Cannot create file " + black_ + L".");
    }
    EXPECT_EQ(file_bytes(white_), "w\r\n") << "no half a save";
    if (box) {
      press_ok(box);
    }
    EXPECT_TRUE(wait_until([&] { return !box || !IsWindow(box); }, 5s));
    CloseHandle(held);
    print_bytes({"held black.lis", "b\r\n", "", false}, file_bytes(black_));
    EXPECT_EQ(file_bytes(black_), "b\r\n");

    ASSERT_TRUE(post_command(ids::Button1));
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(main_); }, 10s)) << "the confirm went to its end";
    EXPECT_EQ(file_bytes(white_), "w2");
    EXPECT_EQ(file_bytes(black_), "b2");
    EXPECT_EQ(nimbrel_->wait_for_message_box(0ms), nullptr);
    nimbrel_.reset();
  }
  for (const std::wstring& leftover : leftovers) {
    EXPECT_EQ(file_bytes(leftover), "left behind");
    SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(leftover.c_str());
  }
  WIN32_FIND_DATAW entry;
  for (const wchar_t* pattern : {L"lis????.tmp", L"lis????.bak"}) {
    const HANDLE search = FindFirstFileW((folder + pattern).c_str(), &entry);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a save left a file behind";
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
  }
}

}  // namespace
}  // namespace e2e
