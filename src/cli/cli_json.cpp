#include "cli/cli_json.h"

#include <array>
#include <charconv>
#include <cmath>

#include "support/utf.h"

namespace velkaro {
namespace {

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          constexpr char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out += kHex[(c >> 4) & 0xF];
          out += kHex[c & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

std::string JsonReport(const TCliReport& report) {
  const TCliOptions& o = report.options;
  std::string json = "{\"parameters\":{";
  json += "\"pause\":" + std::to_string(o.pause_s);
  json += ",\"time\":" + std::to_string(o.time_s);
  json += ",\"priority\":" + std::to_string(o.priority);
  json += ",\"class\":" + std::to_string(o.priority_class);
  json += ",\"rhythm\":" + std::to_string(o.rhythm);
  json += ",\"threads\":" + std::to_string(o.threads);
  json += ",\"threads_requested\":" + std::to_string(o.threads_requested);
  json += "},\"started\":" + std::to_string(report.started);
  json += ",\"planned_duration_ms\":" + std::to_string(report.planned_ms);
  json += ",\"actual_duration_ms\":" + std::to_string(report.actual_ms);
  json += ",\"end\":" + JsonString(report.end);
  json += ",\"error\":" + (report.error.empty() ? std::string("null") : JsonString(ToUtf8(report.error)));
  json += ",\"samples\":[";
  for (std::size_t i = 0; i < report.samples.size(); ++i) {
    if (i != 0) json += ',';
    json += "{\"kernel\":" + JsonNumber(report.samples[i].NowKernelPercent) +
            ",\"total\":" + JsonNumber(report.samples[i].NowCommonPercent) + "}";
  }
  json += "],\"average\":" + (report.average ? JsonNumber(*report.average) : std::string("null"));
  json += "}\n";
  return json;
}

}  // namespace velkaro
