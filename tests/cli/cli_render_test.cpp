#include "cli/cli_render.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/utf.h"

namespace velkaro {
namespace {

struct BarCase {
  std::uint32_t position;
  std::uint32_t max;
  const char16_t* expected;
};

const BarCase kBarCases[] = {
    {0, 20'000, u"[----------]   0%"},
    {10'000, 20'000, u"[#####-----]  50%"},
    {19'999, 20'000, u"[#########-]  99%"},
    {20'000, 20'000, u"[##########] 100%"},
    {25'000, 20'000, u"[##########] 100%"},   // the last update may pass the end
    {0, 0, u"[----------]   0%"},             // a run of no time
    {4'294'967'295u, 4'294'967'295u, u"[##########] 100%"},
    {2'147'483'000u, 4'294'967'295u, u"[####------]  49%"},
};

TEST(ProgressBarTest, FillsAndRoundsDown) {
  for (const BarCase& c : kBarCases) {
    EXPECT_EQ(ProgressBar(c.position, c.max, 10), c.expected) << c.position << "/" << c.max;
  }
}

std::vector<TCPUPercent> Totals(std::initializer_list<double> totals) {
  std::vector<TCPUPercent> samples;
  for (const double total : totals) samples.push_back({0, total});
  return samples;
}

TEST(ChartLineTest, RightAlignsEightHeights) {
  struct Case {
    std::vector<TCPUPercent> samples;
    const char16_t* expected;
  };
  const Case cases[] = {
      {{}, u"    "},
      // 0 % still shows the lowest block; 6.25 % is half a step and goes to the even 0.
      {Totals({0}), u"   \u2581"},
      {Totals({6.25, 18.75, 50, 100}), u"\u2581\u2582\u2584\u2588"},
      {Totals({93.75, 87.5}), u"  \u2588\u2587"},
      // More samples than cells: the newest fill the line.
      {Totals({100, 100, 12.5, 25, 37.5, 50}), u"\u2581\u2582\u2583\u2584"},
      {Totals({-5, 250}), u"  \u2581\u2588"},
  };
  for (const Case& c : cases) EXPECT_EQ(ChartLine(c.samples, 4), c.expected) << ToUtf8(c.expected);
}

TEST(ScreenTest, LinesShowStatusProgressPercentagesAndChart) {
  TCliScreen screen;
  screen.status = u"CPU STRESSING!!!";
  screen.progress_max = 20'000;
  screen.progress_position = 5'000;
  screen.now_text = u"100.000%";
  screen.avg_text = u"87,500%";
  const auto samples = Totals({100});
  const std::vector<std::u16string> lines = ScreenLines(screen, samples);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], u"CPU STRESSING!!!");
  EXPECT_EQ(lines[1], ProgressBar(5'000, 20'000, kProgressBarWidth));
  EXPECT_EQ(lines[2], u"CPU now: 100.000%   CPU avg: 87,500%");
  EXPECT_EQ(lines[3], u"|" + std::u16string(kChartSlots - 1, u' ') + u"\u2588|");

  EXPECT_EQ(PlainLine(screen),
            u"[#####---------------]  25%  CPU STRESSING!!!  CPU now: 100.000%   CPU avg: 87,500%");
}

TEST(ScreenTest, EmptyPartsAreLeftOut) {
  TCliScreen screen;
  screen.progress_max = 1000;
  EXPECT_EQ(PercentLine(screen), u"");
  screen.avg_text = u"3.000%";
  EXPECT_EQ(PercentLine(screen), u"CPU avg: 3.000%");
  EXPECT_EQ(PlainLine(screen), u"[--------------------]   0%  CPU avg: 3.000%");
}

TEST(ScreenTest, PauseLineCountsSeconds) {
  EXPECT_EQ(PauseLine(3), u"About to start stressing ... 3 seconds");
}

TEST(StopKeyTest, EscAndQStopButKeySequencesDoNot) {
  struct Case {
    const char* input;
    bool stops;
  };
  const Case cases[] = {
      {"", false},          {"q", true},           {"Q", true},
      {"\x1b", true},       {"abc\x1b", true},     {"x q", true},
      {"\x1b[A", false},    {"\x1b[15~", false},   {"\x1bOP", false},
      {"\x1b[A\x1b", true}, {"\x1b[1;5Cq", true},  {"hello", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ContainsStopKey(c.input), c.stops) << c.input;
}

}  // namespace
}  // namespace velkaro
