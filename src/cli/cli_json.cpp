#include "cli/cli_json.h"

#include <nlohmann/json.hpp>

#include "support/utf.h"

namespace velkaro {
namespace {

// Ordered, so that the fields keep the order a reader of the report expects.
using Json = nlohmann::ordered_json;

std::string Dump(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

int RunExitCode(const TCliReport& report) {
  if (report.end == "failed") return kExitRunFailed;
  if (report.started < report.requested) return kExitNotAllStarted;
  return kExitRunOver;
}

std::string JsonString(std::string_view utf8) { return Dump(Json(std::string(utf8))); }

std::string JsonReport(const TCliReport& report) {
  const TCliOptions& o = report.options;
  Json json;
  json["parameters"] = {{"pause", o.pause_s},
                        {"time", o.time_s},
                        {"priority", o.priority},
                        {"class", o.priority_class},
                        {"rhythm", o.rhythm},
                        {"threads", o.threads},
                        {"threads_requested", o.threads_requested}};
  json["template"] = report.template_name ? Json(ToUtf8(*report.template_name)) : Json(nullptr);
  json["requested"] = report.requested;
  json["started"] = report.started;
  json["planned_duration_ms"] = report.planned_ms;
  json["actual_duration_ms"] = report.actual_ms;
  json["end"] = report.end;
  json["error"] = report.error.empty() ? Json(nullptr) : Json(ToUtf8(report.error));
  Json samples = Json::array();
  for (const TCPUPercent& sample : report.samples) {
    samples.push_back({{"kernel", sample.NowKernelPercent}, {"total", sample.NowCommonPercent}});
  }
  json["samples"] = std::move(samples);
  json["average"] = report.average ? Json(*report.average) : Json(nullptr);
  return Dump(json) + "\n";
}

}  // namespace velkaro
