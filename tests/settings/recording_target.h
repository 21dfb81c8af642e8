// A load target that keeps every value it is given, in the order it was given.
#pragma once

#include <string>
#include <vector>

#include "settings/run_settings.h"

namespace velkaro::testing {

class TRecordingTarget final : public TRunSettingsTarget {
 public:
  void SetPause(std::int32_t seconds) override { Add("pause", seconds, loaded.run.pause_s); }
  void SetTime(std::int32_t seconds) override { Add("time", seconds, loaded.run.time_s); }
  void SelectPriority(std::int32_t position) override {
    Add("priority", position, loaded.run.priority);
  }
  void SelectPriorityClass(std::int32_t position) override {
    Add("class", position, loaded.run.priority_class);
  }
  void SelectRhythm(std::int32_t position) override { Add("rhythm", position, loaded.run.rhythm); }
  void SetThreads(std::int32_t count) override { Add("threads", count, loaded.run.threads); }
  void SetCompact(bool ticked) override {
    calls.push_back(std::string("compact ") + (ticked ? "on" : "off"));
    loaded.options.compact = ticked;
  }
  void SetAutoPin(bool ticked) override {
    calls.push_back(std::string("autopin ") + (ticked ? "on" : "off"));
    loaded.options.auto_pin = ticked;
  }

  std::vector<std::string> calls;
  TLoadedSettings loaded;

 private:
  void Add(const char* what, std::int32_t value, std::int32_t& field) {
    calls.push_back(std::string(what) + " " + std::to_string(value));
    field = value;
  }
};

}  // namespace velkaro::testing
