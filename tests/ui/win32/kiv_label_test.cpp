#include "ui/win32/kiv_label.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "pixel_bounds.h"
#include "ui/win32/application.h"
#include "ui/win32/controls.h"
#include "ui/win32/form.h"
#include "ui/win32/dib.h"
#include "ui/win32/gdi_text_canvas.h"
#include "ui/win32/scoped_handle.h"

namespace velkaro::win32 {
namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;
constexpr Color kGray = 0x808080;
constexpr int kFontHeight = -16;  // 12 points at 96 DPI

TApplication& App() {
  static TApplication application(::GetModuleHandleW(nullptr));
  return application;
}

// The pixels of a window as it paints itself into a memory bitmap.
class Pixels {
 public:
  explicit Pixels(HWND window) {
    const Point size = Window(window).ClientSize();
    width_ = size.x;
    height_ = size.y;
    ScopedCreatedDc dc(::CreateCompatibleDC(nullptr));
    std::uint32_t* bits = nullptr;
    ScopedBitmap bitmap = CreateDib32(dc.Get(), width_, height_, bits);
    if (!dc || !bitmap) return;
    {
      ScopedSelectObject select(dc.Get(), bitmap.Get());
      ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
      ::GdiFlush();
    }
    const auto* words = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < width_ * height_; ++i) {
      const std::uint32_t v = words[i];  // 0x00RRGGBB in a DIB
      pixels_.push_back(RgbColor(static_cast<std::uint8_t>(v >> 16),
                                 static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)));
    }
  }

  bool ok() const { return !pixels_.empty(); }
  Color At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }

  // The smallest rectangle holding every pixel that `match` accepts; nothing when none does.
  std::optional<Rect> Bounds(const std::function<bool(Color)>& match) const {
    return testing::PixelBounds(Rect{0, 0, width_, height_},
                                [this](int x, int y) { return At(x, y); }, match);
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Color> pixels_;
};

std::function<bool(Color)> Is(Color color) {
  return [color](Color c) { return c == color; };
}

// Forms stay hidden: painting is asked for with WM_PRINTCLIENT.
class KivLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(form_.Create({.caption = u"Label test", .client_width = 400, .client_height = 200},
                             {}));
    form_.SetColor(kWhite);
    font_.Reset(::CreateFontW(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    ASSERT_TRUE(font_);
  }
  void TearDown() override { App().ProcessMessages(); }

  // A label on the form in the test font, black on white.
  void CreateLabel(TKivLabel& label, const Rect& bounds = {10, 10, 75, 27}) {
    ASSERT_TRUE(label.Create(form_.Handle(), 100, bounds));
    label.AsWindow().SetFont(font_.Get());
    label.SetBackColor(kWhite);
    label.SetFontColor(kBlack);
  }

  // The width of `text` as the markup layout adds it up, in the test font.
  int MarkupWidth(std::u16string_view text, FontStyles style) {
    const ScopedGetDc screen(nullptr);
    GdiTextCanvas canvas(screen.Get());
    canvas.SelectFont({u"Tahoma", true, 12, style});
    int width = 0;
    for (const char16_t c : text) width += canvas.CharWidth(c);
    return width;
  }

  TForm form_;
  ScopedFont font_;
};

TEST_F(KivLabelTest, TakesTheDefaultsAndTheFormsFont) {
  TKivLabel label;
  ASSERT_TRUE(label.Create(form_.Handle(), 100));
  EXPECT_EQ(label.AsWindow().Bounds(), (Rect{0, 0, 65, 17}));
  EXPECT_EQ(label.AsWindow().Font(), form_.FormFont());
  EXPECT_EQ(label.AsWindow().Id(), 100);
  EXPECT_TRUE(label.Model().FAutoSize);
  EXPECT_FALSE(label.Formated());
  EXPECT_EQ(label.Model().FAlignmentV, TVAlignment::vaTop);
  wchar_t class_name[32] = {};
  ::GetClassNameW(label.Handle(), class_name, 32);
  EXPECT_STREQ(class_name, kKivLabelClassName);

  // The caption sizes it, one line of the form's font high.
  label.SetCaption(u"Threads");
  const Rect bounds = label.AsWindow().Bounds();
  EXPECT_GT(bounds.Width(), 20);
  EXPECT_GE(bounds.Height(), 11);
  EXPECT_LT(bounds.Height(), 17);
}

TEST_F(KivLabelTest, GrayRunIsDrawnGrayAfterTheFirstWordInTheDefaultColour) {
  TKivLabel label;
  CreateLabel(label);
  label.SetFormated(true);
  label.SetCaption(u"WWW[f Gray; WWW]");
  const Pixels pixels(label.Handle());
  ASSERT_TRUE(pixels.ok());
  const auto black = pixels.Bounds(Is(kBlack));
  const auto gray = pixels.Bounds(Is(kGray));
  ASSERT_TRUE(black && gray);
  const int first_word = MarkupWidth(u"WWW", 0);
  EXPECT_LE(black->right, first_word + 1);
  EXPECT_GE(gray->left, first_word);
  EXPECT_GT(gray->right, first_word + MarkupWidth(u" WW", 0));
  EXPECT_EQ(label.AsWindow().Text(), u"WWW[f Gray; WWW]");
}

TEST_F(KivLabelTest, AutoSizeGivesTheMeasuredSize) {
  TKivLabel label;
  CreateLabel(label);
  label.SetCaption(u"Hello world");
  SIZE extent{};
  TEXTMETRICW metrics{};
  {
    const ScopedGetDc screen(nullptr);
    ScopedSelectObject select(screen.Get(), font_.Get());
    ::GetTextExtentPoint32W(screen.Get(), L"Hello world", 11, &extent);
    ::GetTextMetricsW(screen.Get(), &metrics);
  }
  EXPECT_EQ(label.AsWindow().Bounds(), (Rect{10, 10, 10 + extent.cx, 10 + metrics.tmHeight}));

  label.SetFormated(true);
  label.SetCaption(u"[fB;Hello] world");
  const int width = MarkupWidth(u"Hello", kFontBold) + MarkupWidth(u" world", 0);
  const Rect formatted = label.AsWindow().Bounds();
  EXPECT_EQ(formatted.left, 10);
  EXPECT_EQ(formatted.Width(), width);
  EXPECT_GE(formatted.Height(), metrics.tmHeight);

  label.SetCaption(u"");
  EXPECT_EQ(label.AsWindow().Bounds(), (Rect{10, 10, 10, 10 + metrics.tmHeight}));

  // Switched off, the label keeps the size it has.
  label.SetAutoSize(false);
  label.SetCaption(u"A much longer caption than before");
  EXPECT_EQ(label.AsWindow().Bounds(), (Rect{10, 10, 10, 10 + metrics.tmHeight}));
}

TEST_F(KivLabelTest, RightAlignedLabelKeepsItsRightEdgeWhenItsCaptionGrows) {
  for (const bool formated : {false, true}) {
    TKivLabel label;
    ASSERT_TRUE(label.Create(form_.Handle(), 100, {200, 10, 265, 27}));
    label.SetAlignment(TAlignment::taRightJustify);
    label.AsWindow().SetFont(font_.Get());  // sizes the empty label: 0 wide at the right
    EXPECT_EQ(label.AsWindow().Bounds().left, 265);
    label.SetFormated(formated);
    label.SetCaption(u"[fB;ab]");
    const Rect short_caption = label.AsWindow().Bounds();
    label.SetCaption(u"[fB;abcdefghij]");
    const Rect long_caption = label.AsWindow().Bounds();
    EXPECT_EQ(short_caption.right, 265) << formated;
    EXPECT_EQ(long_caption.right, 265) << formated;
    EXPECT_LT(long_caption.left, short_caption.left) << formated;
    EXPECT_LT(long_caption.Width(), 400) << formated;
  }
}

TEST_F(KivLabelTest, FormatedOffDrawsTheMarkupCharacters) {
  TKivLabel label;
  CreateLabel(label);
  label.SetAutoSize(false);
  label.AsWindow().SetBounds({0, 0, 380, 30});
  label.SetFormated(true);
  label.SetCaption(u"[f;WWW]");
  const auto formatted = Pixels(label.Handle()).Bounds(Is(kBlack));
  label.SetFormated(false);
  EXPECT_EQ(label.Model().ColorCuts(), nullptr);
  const auto plain = Pixels(label.Handle()).Bounds(Is(kBlack));
  ASSERT_TRUE(formatted && plain);
  EXPECT_GT(plain->Width(), formatted->Width() + MarkupWidth(u"[f;]", 0) / 2);
  EXPECT_EQ(label.AsWindow().Text(), u"[f;WWW]");
}

TEST_F(KivLabelTest, DisabledLabelIsEngravedInItsColour) {
  for (const bool formated : {false, true}) {
    TKivLabel label;
    CreateLabel(label);
    label.SetBackColor(0xC0C0C0);
    label.SetFormated(formated);
    label.SetCaption(u"[fB;HHHH]");
    const Rect enabled = label.AsWindow().Bounds();
    label.AsWindow().Enable(false);
    const Rect disabled = label.AsWindow().Bounds();
    EXPECT_EQ(disabled.Width(), enabled.Width() + 1) << formated;
    EXPECT_EQ(disabled.Height(), enabled.Height() + 1) << formated;

    const Pixels pixels(label.Handle());
    const auto light = pixels.Bounds(Is(0xE8E8E8));
    const auto dark = pixels.Bounds(Is(0x989898));
    ASSERT_TRUE(light && dark) << formated;
    EXPECT_EQ(light->right, dark->right + 1) << formated;
    EXPECT_EQ(light->bottom, dark->bottom + 1) << formated;
    EXPECT_FALSE(pixels.Bounds(Is(kBlack))) << formated;
  }
}

TEST_F(KivLabelTest, BackgroundIsTheParentsDrawingTheParentsColourOrItsOwn) {
  TPanel panel;
  ASSERT_TRUE(panel.Create(form_.Handle(), 200, {0, 0, 400, 200}));
  panel.SetColor(0x123456);
  panel.SetOnDraw([](HDC dc, const RECT& client) {
    // Blue left of x = 200, green from there on.
    const ScopedBrush blue(::CreateSolidBrush(0xFF0000));
    const ScopedBrush green(::CreateSolidBrush(0x00FF00));
    RECT left{client.left, client.top, 200, client.bottom};
    RECT right{200, client.top, client.right, client.bottom};
    ::FillRect(dc, &left, blue.Get());
    ::FillRect(dc, &right, green.Get());
  });
  TKivLabel label;
  ASSERT_TRUE(label.Create(panel.Handle(), 100, {190, 20, 230, 40}));
  label.SetAutoSize(false);

  // In the parent's colour until given one of its own.
  Pixels parent_colour(label.Handle());
  ASSERT_TRUE(parent_colour.ok());
  EXPECT_EQ(parent_colour.At(5, 5), 0x123456u);
  panel.SetColor(0x654321);
  EXPECT_EQ(Pixels(label.Handle()).At(5, 5), 0x654321u);

  label.SetTransparent(true);
  const Pixels transparent(label.Handle());
  EXPECT_EQ(transparent.At(0, 0), 0xFF0000u);
  EXPECT_EQ(transparent.At(9, 10), 0xFF0000u);
  EXPECT_EQ(transparent.At(10, 10), 0x00FF00u);
  EXPECT_EQ(transparent.At(39, 19), 0x00FF00u);

  label.SetTransparent(false);
  label.SetBackColor(kWhite);
  EXPECT_EQ(Pixels(label.Handle()).At(5, 5), kWhite);
}

TEST_F(KivLabelTest, WindowTextIsTheCaptionBothWays) {
  TKivLabel label;
  CreateLabel(label);
  label.SetFormated(true);
  label.AsWindow().SetText(u"x[fB;y]");
  EXPECT_EQ(label.Caption(), u"x[fB;y]");
  ASSERT_NE(label.Model().ColorCuts(), nullptr);
  EXPECT_EQ(label.AsWindow().Text(), u"x[fB;y]");

  wchar_t small[3] = {L'?', L'?', L'?'};
  EXPECT_EQ(label.AsWindow().Send(WM_GETTEXT, 3, reinterpret_cast<LPARAM>(small)), 2);
  EXPECT_STREQ(small, L"x[");
}

TEST_F(KivLabelTest, MouseDownReachesTheHandler) {
  TKivLabel label;
  CreateLabel(label);
  std::vector<std::pair<UINT, Point>> downs;
  label.SetOnMouseDown([&downs](UINT message, Point at) { downs.emplace_back(message, at); });
  label.AsWindow().Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  label.AsWindow().Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 2));
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].first, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(downs[0].second, (Point{5, 6}));
  EXPECT_EQ(downs[1].first, static_cast<UINT>(WM_RBUTTONDOWN));
}

}  // namespace
}  // namespace velkaro::win32
