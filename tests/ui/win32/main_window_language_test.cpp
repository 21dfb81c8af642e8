// velkaro.exe in the shipped languages, seen from outside: a pick in the Language menu
// rewrites the window's texts at once, the choice outlives the program, and every
// translation fits its place on the form.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lang/language_file.h"
#include "lang/string_table.h"
#include "language_commands.h"
#include "main_window_driver.h"
#include "platform/win32/wide.h"
#include "settings/settings_store.h"
#include "support/utf.h"
#include "ui/win32/form.h"
#include "ui/win32/hint_window.h"

namespace velkaro::win32::driver {
namespace {

using namespace main_window;

const std::wstring kProgram = ProgramPath(VELKARO_EXE_PATH);
const std::wstring kLangsFolder = LangsFolderOf(kProgram);
constexpr wchar_t kProductName[] = L"Velkaro";
std::string Utf8(const std::wstring& text) { return ToUtf8(platform::FromWide(text)); }

// A code that no shipped file has.
constexpr wchar_t kMissingCode[] = L"xx";

// The texts a language gives the window: the translations of its file beside
// velkaro.exe, read line by line with the program's line rules, and English for the
// ids the file leaves out. The empty code is the built-in English.
class Language {
 public:
  explicit Language(std::wstring code) : code_(std::move(code)) {
    if (code_.empty()) return;
    std::vector<std::uint8_t> bytes;
    const std::u16string path(kLangsFolder.begin(), kLangsFolder.end());
    const std::u16string file = path + std::u16string(code_.begin(), code_.end()) + u".lng";
    EXPECT_TRUE(SystemLangFileAccess().ReadBytes(file, kLanguageFileBytes, bytes)) << ToUtf8(file);
    const std::optional<std::u16string> text = DecodeLanguageBytes(bytes);
    EXPECT_TRUE(text.has_value()) << "not UTF-16 LE: " << Utf8(code_);
    if (!text) return;
    std::size_t start = 0;
    while (start < text->size()) {
      std::size_t end = text->find_first_of(u"\r\n", start);
      if (end == std::u16string::npos) end = text->size();
      const std::u16string_view line(text->data() + start, end - start);
      if (const auto parsed = ParseTextLine(line)) {
        const std::u16string translation = TranslationFromRaw(parsed->Raw);
        if (!translation.empty()) translations_.emplace(parsed->Id, platform::ToWide(translation));
      }
      start = end + 1;
    }
    EXPECT_FALSE(translations_.empty()) << Utf8(code_) << ".lng has no texts";
  }

  const std::wstring& Code() const { return code_; }
  std::wstring Text(TextId id) const {
    const auto found = translations_.find(static_cast<std::int64_t>(id));
    return found != translations_.end() ? found->second : platform::ToWide(EnglishText(id));
  }
  // The text with its "%s" replaced by `argument`.
  std::wstring Filled(TextId id, const std::wstring& argument) const {
    std::wstring text = Text(id);
    const std::size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, argument);
    return text;
  }
  std::wstring IdleTitle() const { return Filled(TextId::TitleIdle, kProductName); }

 private:
  // The test never loads translations into its own table.
  static std::u16string_view EnglishText(TextId id) { return LangText(id); }

  std::wstring code_;
  std::map<std::int64_t, std::wstring> translations_;
};

const wchar_t* const kShippedCodes[] = {L"de", L"fr", L"es", L"pl", L"ru", L"it"};

// What stands where: the captions of the labels and the lists' items.
struct Caption {
  int id;
  TextId text;
};
constexpr Caption kLabelCaptions[] = {
    {kLbStPause, TextId::StartPauseLabel}, {kLbSPMeas, TextId::SecondsWord},
    {kLbTime, TextId::StressTimeLabel},    {kLbTMeas, TextId::SecondsWord},
    {kLbPriority, TextId::PriorityLabel},  {kLbPriorClass, TextId::PriorClassLabel},
    {kLbStyle, TextId::StyleLabel},        {kLbThreads, TextId::ThreadsLabel},
};
struct List {
  int id;
  std::vector<TextId> items;
};
const List kLists[] = {
    {kCbPriority,
     {TextId::PriorityIdle, TextId::PriorityLowest, TextId::PriorityBelowNormal,
      TextId::PriorityNormal, TextId::PriorityAboveNormal, TextId::PriorityHighest,
      TextId::PriorityTimeCritical}},
    {kCbPriorClass,
     {TextId::PriorityIdle, TextId::PriorityBelowNormal, TextId::PriorityNormal,
      TextId::PriorityAboveNormal, TextId::ClassHigh, TextId::ClassRealtime}},
    {kCbStyle,
     {TextId::StyleMono, TextId::StyleSlightlyBroken, TextId::StyleQuiteBroken,
      TextId::StyleRollerCoaster, TextId::StyleComb, TextId::StyleLongComb, TextId::StyleDownUp}},
};

std::vector<std::wstring> ListItems(HWND combo) {
  std::vector<std::wstring> items;
  const auto count =
      static_cast<WPARAM>(std::max<LRESULT>(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 0));
  for (WPARAM i = 0; i < count; ++i) {
    const auto length = ::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    std::wstring item(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const auto copied =
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
    items.push_back(item);
  }
  return items;
}

int Selected(HWND combo) { return static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

RECT BoundsInWindow(HWND control, HWND window) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// True once the window shows the language's title and first label, which the program
// sets among the last and the first of its texts.
bool WaitForLanguage(const Velkaro& app, const Language& language) {
  return WaitFor([&] {
    return app.Caption() == language.IdleTitle() &&
           app.ControlText(kLbTime) == language.Text(TextId::StressTimeLabel);
  });
}

// Every caption, list item and the title of the idle window are the language's.
void ExpectTextsOf(const Velkaro& app, const Language& language) {
  SCOPED_TRACE("language \"" + Utf8(language.Code()) + "\"");
  EXPECT_EQ(app.Caption(), language.IdleTitle());
  EXPECT_EQ(app.ControlText(kBDo), language.Text(TextId::RunButton));
  for (const Caption& caption : kLabelCaptions) {
    EXPECT_EQ(app.ControlText(caption.id), language.Text(caption.text)) << "control " << caption.id;
  }
  for (const List& list : kLists) {
    std::vector<std::wstring> expected;
    for (const TextId item : list.items) expected.push_back(language.Text(item));
    EXPECT_EQ(ListItems(app.Control(list.id)), expected) << "list " << list.id;
  }
}

std::optional<std::wstring> StoredLangCode() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                      &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::wstring name = platform::ToWide(settings::LangCode.name);
  wchar_t value[64] = {};
  DWORD type = 0;
  DWORD size = sizeof(value) - sizeof(wchar_t);
  const LONG read =
      ::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  ::RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::wstring(value);
}

// Settings that hold nothing but the language `code`.
void StoreOnlyLangCode(const std::wstring& code) {
  ClearSettings();
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring name = platform::ToWide(settings::LangCode.name);
  const LONG written =
      ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(code.c_str()),
                       static_cast<DWORD>((code.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
  ASSERT_EQ(written, ERROR_SUCCESS);
}

void PickLanguage(const Velkaro& app, const std::wstring& code) {
  const std::optional<int> command = LanguageCommand(kLangsFolder, code);
  ASSERT_TRUE(command.has_value()) << "no file for " << Utf8(code);
  ::PostMessageW(app.Window(), WM_COMMAND, static_cast<WPARAM>(*command), 0);
}

// The text of the hint that shows when the mouse comes onto a control; empty when none shows.
std::wstring HintUnderMouse(const Velkaro& app, int id) {
  RECT window{};
  ::GetWindowRect(app.Window(), &window);
  ::SetCursorPos(window.right + 40, window.bottom + 40);
  const auto hint = [&] { return app.FindVisibleWindow(kHintWindowClassName); };
  if (!WaitFor([&] { return hint() == nullptr; }, 3s)) return L"";
  RECT control{};
  ::GetWindowRect(app.Control(id), &control);
  const POINT at{(control.left + control.right) / 2, (control.top + control.bottom) / 2};
  ::SetCursorPos(at.x - 5, at.y);
  ::SetCursorPos(at.x, at.y);
  HWND shown = nullptr;
  if (!WaitFor([&] { return (shown = hint()) != nullptr; }, 5s)) return L"";
  return app.Text(shown);
}

class MainWindowLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LanguageCodesInMenuOrder(kLangsFolder).size(), 6u) << Utf8(kLangsFolder);
  }
};

// Each shipped language in turn, then "Default English": the texts change at once, the
// lists keep their selections, the hint under the mouse speaks the language, and the
// choice is stored.
TEST_F(MainWindowLanguageTest, PickingALanguageRewritesTheTextsAndKeepsTheSelections) {
  Velkaro app(kProgram);
  ASSERT_TRUE(app.Started());
  ASSERT_TRUE(WaitForLanguage(app, Language(L"")));
  ::SetForegroundWindow(app.Window());
  ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == app.Window(); }));
  // None of them the form's or the settings' default.
  const int selections[] = {1, 4, 6};
  for (std::size_t i = 0; i < std::size(kLists); ++i) {
    ::SendMessageW(app.Control(kLists[i].id), CB_SETCURSEL, static_cast<WPARAM>(selections[i]), 0);
  }

  std::vector<std::wstring> codes(std::begin(kShippedCodes), std::end(kShippedCodes));
  codes.emplace_back();  // Default English, last
  for (const std::wstring& code : codes) {
    SCOPED_TRACE("picked \"" + Utf8(code) + "\"");
    const Language language(code);
    PickLanguage(app, code);
    ASSERT_TRUE(WaitForLanguage(app, language)) << Utf8(app.Caption());
    ExpectTextsOf(app, language);
    for (std::size_t i = 0; i < std::size(kLists); ++i) {
      EXPECT_EQ(Selected(app.Control(kLists[i].id)), selections[i]) << "list " << kLists[i].id;
    }
    EXPECT_EQ(HintUnderMouse(app, kBDo), language.Text(TextId::RunButtonHint));
    EXPECT_EQ(StoredLangCode(), code);
  }
}

TEST_F(MainWindowLanguageTest, TheChosenLanguageIsThereAgainAfterARestart) {
  const Language german(L"de");
  {
    Velkaro app(kProgram);
    ASSERT_TRUE(app.Started());
    PickLanguage(app, L"de");
    ASSERT_TRUE(WaitForLanguage(app, german));
    app.Close();
    ASSERT_EQ(app.ExitCode(10s), 0u);
  }
  Velkaro again(kProgram, L"", Settings::kKept);
  ASSERT_TRUE(again.Started());
  ASSERT_TRUE(WaitForLanguage(again, german)) << Utf8(again.Caption());
  ExpectTextsOf(again, german);
}

// After a run the status and the CPU readouts hold formatted texts; a switch formats
// them again in the new language.
TEST_F(MainWindowLanguageTest, AfterARunTheStatusAndTheCpuReadoutsChangeToo) {
  const Language english(L"");
  const Language german(L"de");
  Velkaro app(kProgram);
  ASSERT_TRUE(app.Started());
  app.SetRun(0, 2);
  app.PressKey(VK_RETURN);
  const std::wstring fulfilled = english.Filled(TextId::FulfilledThreads, L"1");
  ASSERT_TRUE(WaitFor([&] { return app.ControlText(kLbState) == fulfilled; }))
      << Utf8(app.ControlText(kLbState));
  ASSERT_TRUE(WaitForLanguage(app, english));
  const std::wstring now_before = app.ControlText(kLbPerc1);
  ASSERT_EQ(now_before.rfind(english.Filled(TextId::CpuNow, L""), 0), 0u) << Utf8(now_before);
  PickLanguage(app, L"de");
  ASSERT_TRUE(WaitForLanguage(app, german));
  EXPECT_EQ(app.ControlText(kLbState), german.Filled(TextId::FulfilledThreads, L"1"));
  for (const auto& [id, text] :
       {std::pair{kLbPerc1, TextId::CpuNow}, std::pair{kLbPerc2, TextId::CpuAvg}}) {
    const std::wstring shown = app.ControlText(id);
    const std::wstring before_value = german.Filled(text, L"");
    EXPECT_EQ(shown.substr(0, before_value.size()), before_value) << Utf8(shown);
    EXPECT_GT(shown.size(), before_value.size()) << "no value in " << Utf8(shown);
  }
}

// A stored code whose file is gone leaves the English texts, and the code stays stored.
TEST_F(MainWindowLanguageTest, AStoredCodeWithoutItsFileLeavesEnglish) {
  StoreOnlyLangCode(kMissingCode);
  Velkaro app(kProgram, L"", Settings::kKept);
  ASSERT_TRUE(app.Started());
  // The stored run settings are loaded after the first show; the texts came before it.
  ASSERT_TRUE(WaitFor([&] { return app.ControlText(kEdTime) == L"20"; }));
  ExpectTextsOf(app, Language(L""));
  EXPECT_EQ(StoredLangCode(), std::wstring(kMissingCode));
}

// Texts measured in a font the test makes the way the program makes it (GDI objects
// cannot be shared with another process).
class FontDc {
 public:
  explicit FontDc(HFONT font) : screen_(::GetDC(nullptr)), old_(::SelectObject(screen_, font)) {}
  FontDc(const FontDc&) = delete;
  FontDc& operator=(const FontDc&) = delete;
  ~FontDc() {
    ::SelectObject(screen_, old_);
    ::ReleaseDC(nullptr, screen_);
  }

  // The width GDI reports, by which the program sizes its labels.
  int Extent(const std::wstring& text) const {
    SIZE size{};
    ::GetTextExtentPoint32W(screen_, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  }
  // The columns the drawn text covers from its origin. Wine draws Tahoma narrower than
  // it reports (by up to a tenth), so what a clipped field shows is measured drawn.
  int Ink(const std::wstring& text) const {
    const int width = Extent(text) + 16;
    constexpr int kHeight = 24;
    const ScopedCreatedDc memory(::CreateCompatibleDC(screen_));
    std::uint32_t* pixels = nullptr;
    const ScopedBitmap bitmap = CreateDib32(memory.Get(), width, kHeight, pixels);
    if (!bitmap) return Extent(text);
    const ScopedSelectObject select(memory.Get(), bitmap.Get());
    const ScopedSelectObject font(memory.Get(), ::GetCurrentObject(screen_, OBJ_FONT));
    const RECT all{0, 0, width, kHeight};
    ::FillRect(memory.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetTextColor(memory.Get(), RGB(0, 0, 0));
    ::SetBkMode(memory.Get(), TRANSPARENT);
    ::ExtTextOutW(memory.Get(), 0, 0, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()),
                  nullptr);
    ::GdiFlush();
    int covered = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = covered; x < width; ++x) {
        if ((pixels[y * width + x] & 0xFFFFFFu) != 0xFFFFFFu) covered = x + 1;
      }
    }
    return covered;
  }

 private:
  HDC screen_;
  HGDIOBJ old_;
};

// The window in one language, started with that choice stored.
class MainWindowLanguageLayoutTest : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(MainWindowLanguageLayoutTest, EveryTextFitsItsPlace) {
  const Language language(GetParam());
  StoreOnlyLangCode(language.Code());
  Velkaro app(kProgram, L"", Settings::kKept);
  ASSERT_TRUE(app.Started());
  ASSERT_TRUE(WaitForLanguage(app, language)) << Utf8(app.Caption());
  const HWND window = app.Window();
  const int dpi = DpiOfWindow(window);
  const ScopedFont form_font = CreateFormFont(dpi);
  const FontDc form(form_font.Get());

  // Labels end before their fields: the label's window, which the program sizes to the
  // reported width and which paints its whole background, and the drawn text inside it.
  struct Before {
    int label;
    int field;
  } const rows[] = {{kLbStPause, kEdStPause},   {kLbTime, kEdTime},
                    {kLbPriority, kCbPriority}, {kLbPriorClass, kCbPriorClass},
                    {kLbStyle, kCbStyle},       {kLbThreads, kEdThreads}};
  for (const Before& row : rows) {
    const RECT label = BoundsInWindow(app.Control(row.label), window);
    const RECT field = BoundsInWindow(app.Control(row.field), window);
    const std::wstring text = app.ControlText(row.label);
    EXPECT_GE(label.right - label.left, form.Ink(text))
        << "label " << row.label << " cuts its text";
    EXPECT_LT(label.right, field.left)
        << "label " << row.label << " \"" << Utf8(text) << "\" ends at " << label.right
        << ", its field starts at " << field.left;
  }
  // The units stand right of the fields and end inside the window.
  RECT client{};
  ::GetClientRect(window, &client);
  for (const int id : {kLbSPMeas, kLbTMeas}) {
    const RECT label = BoundsInWindow(app.Control(id), window);
    const std::wstring text = app.ControlText(id);
    EXPECT_LE(label.right, client.right) << "label " << id << " \"" << Utf8(text) << "\"";
    EXPECT_GE(label.right - label.left, form.Ink(text)) << "label " << id << " cuts its text";
  }

  // The run button: its image (16 pixels at 96 DPI) and a few pixels between image and
  // text, and the 3-D edge and the focus rectangle on either side.
  {
    RECT button{};
    ::GetClientRect(app.Control(kBDo), &button);
    const int room = button.right - ScaleForDpi(16 + 4 + 2 * 4, dpi);
    const std::wstring text = app.ControlText(kBDo);
    EXPECT_LE(form.Ink(text), room) << "run button \"" << Utf8(text) << "\"";
  }

  // Each item in a list's field as Wine draws it: inside the 2-pixel sunken edge, left
  // of an arrow button as wide as a scroll bar, one pixel into a rectangle that lies one
  // pixel inside the rest and clips the text.
  for (const List& list : kLists) {
    const HWND combo = app.Control(list.id);
    RECT field{};
    ::GetClientRect(combo, &field);
    const int room = field.right - 2 * 2 - ::GetSystemMetrics(SM_CXVSCROLL) - 2 * 1 - 1;
    for (const std::wstring& item : ListItems(combo)) {
      EXPECT_LE(form.Ink(item), room) << "list " << list.id << " \"" << Utf8(item) << "\"";
    }
  }

  // The title in the caption font, between the system menu's icon and the three caption
  // buttons, inside the frame.
  {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    const ScopedFont caption_font(::CreateFontIndirectW(&metrics.lfCaptionFont));
    const FontDc caption(caption_font.Get());
    RECT frame{};
    ::GetWindowRect(window, &frame);
    const int room = frame.right - frame.left - 2 * ::GetSystemMetrics(SM_CXFIXEDFRAME) -
                     (::GetSystemMetrics(SM_CXSMICON) + 4) - 3 * ::GetSystemMetrics(SM_CXSIZE);
    const std::wstring title = app.Caption();
    EXPECT_LE(caption.Ink(title), room) << "title \"" << Utf8(title) << "\"";
  }
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, MainWindowLanguageLayoutTest,
                         ::testing::Values(L"", L"de", L"fr", L"es", L"pl", L"ru", L"it"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& param_info) {
                           const std::wstring code = param_info.param;
                           return code.empty() ? std::string("en") : Utf8(code);
                         });

}  // namespace
}  // namespace velkaro::win32::driver
