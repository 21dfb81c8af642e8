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
  report.started = 2;
  report.planned_ms = 2000;
  report.actual_ms = 2013;
  report.end = "time_over";
  report.samples = {{12.5, 100}, {0, 37.5}};
  report.average = 68.75;
  EXPECT_EQ(JsonReport(report),
            "{\"parameters\":{\"pause\":0,\"time\":2,\"priority\":6,\"class\":5,\"rhythm\":1,"
            "\"threads\":100000,\"threads_requested\":250000},\"template\":null,\"started\":2,"
            "\"planned_duration_ms\":2000,\"actual_duration_ms\":2013,\"end\":\"time_over\","
            "\"error\":null,\"samples\":[{\"kernel\":12.5,\"total\":100.0},"
            "{\"kernel\":0.0,\"total\":37.5}],\"average\":68.75}\n");
}

TEST(JsonReportTest, NamesTheTemplateItRanWith) {
  TCliReport report;
  report.template_name = u"Schnell \"\u00fc\"";
  const std::string json = JsonReport(report);
  EXPECT_NE(json.find("},\"template\":\"Schnell \\\"\xc3\xbc\\\"\",\"started\":0,"),
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

TEST(JsonStringTest, EscapesQuotesBackslashesAndControls) {
  EXPECT_EQ(JsonString("plain"), "\"plain\"");
  EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonString("1\r2\n3\t4"), "\"1\\r2\\n3\\t4\"");
  EXPECT_EQ(JsonString(std::string_view("\x01\x1f", 2)), "\"\\u0001\\u001f\"");
  EXPECT_EQ(JsonString("\xe2\x96\x88"), "\"\xe2\x96\x88\"");
}

}  // namespace
}  // namespace velkaro
