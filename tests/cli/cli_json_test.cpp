#include "cli/cli_json.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

TEST(JsonReportTest, WritesTheWholeRun) {
  TCliReport report;
  report.options.pause_s = 0;
  report.options.time_s = 2;
  report.options.threads = 100'000;
  report.options.threads_requested = 250'000;
  report.options.json = true;
  report.requested = 3;
  report.started = 2;
  report.planned_ms = 2000;
  report.actual_ms = 2013;
  report.end = "time_over";
  report.samples = {{12.5, 100}, {0, 37.5}};
  report.average = 68.75;
  EXPECT_EQ(JsonReport(report),
            "{\"parameters\":{\"pause\":0,\"time\":2,\"priority\":6,\"class\":5,\"rhythm\":1,"
            "\"threads\":100000,\"threads_requested\":250000},\"template\":null,\"requested\":3,"
            "\"started\":2,"
            "\"planned_duration_ms\":2000,\"actual_duration_ms\":2013,\"end\":\"time_over\","
            "\"error\":null,\"samples\":[{\"kernel\":12.5,\"total\":100.0},"
            "{\"kernel\":0.0,\"total\":37.5}],\"average\":68.75}\n");
}

TEST(JsonReportTest, NamesTheTemplateItRanWith) {
  TCliReport report;
  report.template_name = u"Schnell \"\u00fc\"";
  const std::string json = JsonReport(report);
  EXPECT_NE(json.find("},\"template\":\"Schnell \\\"\xc3\xbc\\\"\",\"requested\":0,\"started\":0,"),
            std::string::npos)
      << json;
}

TEST(JsonReportTest, FailedRunWithoutSamples) {
  TCliReport report;
  report.end = "failed";
  report.error = u"Too many threads! Created: 31\u00a0999.";
  const std::string json = JsonReport(report);
  EXPECT_NE(json.find("\"samples\":[],\"average\":null}"), std::string::npos) << json;
  EXPECT_NE(json.find("\"error\":\"Too many threads! Created: 31\xc2\xa0" "999.\""),
            std::string::npos)
      << json;
}

TEST(RunExitCodeTest, AFailureFirstThenAShortfallOfThreads) {
  struct Case {
    const char* end;
    std::int32_t requested, started;
    int code;
  };
  const Case cases[] = {
      {"time_over", 10000, 10000, kExitRunOver},
      {"stopped", 0, 0, kExitRunOver},
      {"time_over", 10000, 5189, kExitNotAllStarted},
      {"stopped", 4, 0, kExitNotAllStarted},
      {"failed", 10, 0, kExitRunFailed},
      {"failed", 2, 2, kExitRunFailed},
  };
  for (const Case& c : cases) {
    TCliReport report;
    report.end = c.end;
    report.requested = c.requested;
    report.started = c.started;
    EXPECT_EQ(RunExitCode(report), c.code) << c.end << " " << c.started << " of " << c.requested;
  }
}

TEST(JsonStringTest, EscapesQuotesBackslashesAndControls) {
  EXPECT_EQ(JsonString("plain"), "\"plain\"");
  EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonString("1\r2\n3\t4"), "\"1\\r2\\n3\\t4\"");
  EXPECT_EQ(JsonString(std::string_view("\x01\x1f", 2)), "\"\\u0001\\u001f\"");
  EXPECT_EQ(JsonString("\xe2\x96\x88"), "\"\xe2\x96\x88\"");
}

}  // namespace
}  // namespace velkaro
