#include "platform/thread_limits.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace velkaro::platform {
namespace {

std::optional<std::uint64_t> ReadNumberFile(const char* path) {
  std::ifstream file(path);
  std::uint64_t value = 0;
  if (file >> value) return value;
  return std::nullopt;
}

// Threads of the whole system: the denominator of the fourth field of /proc/loadavg.
std::optional<std::uint64_t> SystemThreads() {
  std::ifstream file("/proc/loadavg");
  std::string a, b, c, running_total;
  if (!(file >> a >> b >> c >> running_total)) return std::nullopt;
  const auto slash = running_total.find('/');
  if (slash == std::string::npos) return std::nullopt;
  return std::strtoull(running_total.c_str() + slash + 1, nullptr, 10);
}

std::optional<std::uint64_t> OwnMappings() {
  std::ifstream file("/proc/self/maps");
  if (!file) return std::nullopt;
  std::uint64_t lines = 0;
  for (std::string line; std::getline(file, line);) ++lines;
  return lines;
}

std::uint64_t CountEntries(const std::string& path) {
  std::uint64_t count = 0;
  if (DIR* dir = opendir(path.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      if (entry->d_name[0] != '.') ++count;
    }
    closedir(dir);
  }
  return count;
}

// Threads of processes owned by `uid`, which is what "ulimit -u" counts.
std::uint64_t UserThreads(uid_t uid) {
  std::uint64_t count = 0;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return 0;
  while (const dirent* entry = readdir(proc)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    const std::string path = std::string("/proc/") + entry->d_name;
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && info.st_uid == uid) count += CountEntries(path + "/task");
  }
  closedir(proc);
  return count;
}

}  // namespace

std::vector<ThreadLimit> ReadThreadLimits() {
  std::vector<ThreadLimit> limits;
  const auto system_threads = SystemThreads();

  rlimit nproc{};
  // The kernel does not apply this limit to root.
  if (geteuid() != 0 && getrlimit(RLIMIT_NPROC, &nproc) == 0 && nproc.rlim_cur != RLIM_INFINITY) {
    limits.push_back({"ulimit -u", nproc.rlim_cur, UserThreads(getuid()), 1});
  }
  if (const auto value = ReadNumberFile("/proc/sys/kernel/threads-max")) {
    limits.push_back({"kernel.threads-max", *value, system_threads, 1});
  }
  if (const auto value = ReadNumberFile("/proc/sys/kernel/pid_max")) {
    limits.push_back({"kernel.pid_max", *value, system_threads, 1});
  }
  if (const auto value = ReadNumberFile("/proc/sys/vm/max_map_count")) {
    // A thread takes two mappings: its stack and the guard page below it.
    limits.push_back({"vm.max_map_count", *value, OwnMappings(), 2});
  }
  return limits;
}

}  // namespace velkaro::platform
