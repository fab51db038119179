// swfsaver_bench on Windows: real files in the temporary folder and the real registry, under
// a throwaway settings key that is deleted afterwards. The kernel reports another program
// name, so the saver's own settings are never touched.
#include "platform/win32/Win32Platform.h"  // first: <windows.h> without the A/W macros

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "tests/bench/Benchmarks.h"

namespace {

constexpr const char* kVendorKey = "Software\\Ostrevanlab";

bool KeyExists(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool WriteMovie(const std::string& path, const std::string& head, uint64_t size) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(head.data(), static_cast<std::streamsize>(head.size()));
  const std::vector<char> zeros(1u << 20, '\0');
  for (uint64_t left = size - head.size(); left > 0 && file;) {
    const uint64_t piece = std::min<uint64_t>(left, zeros.size());
    file.write(zeros.data(), static_cast<std::streamsize>(piece));
    left -= piece;
  }
  return static_cast<bool>(file);
}

}  // namespace

int main() {
  using namespace swfsaver;
  win32::Win32Platform system;
  bench::CountingKernel kernel(system.kernel);
  platform::Platform platform{system.registry, kernel, system.codePage, system.system,
                              system.application};

  char temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length > MAX_PATH) {
    std::printf("benchmark failed: no temporary folder\n");
    return 1;
  }
  const std::string folder(temp, length);
  bench::BenchPlan plan;
  // The wall clock: the registry does part of its work outside this process (in wineserver
  // under Wine), which the process's own processor time would miss.
  plan.clock = [] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  };
  plan.smallMovie = folder + "swfsaver_bench_small.swf";
  plan.largeMovie = folder + "swfsaver_bench_large.swf";
  plan.headerReads = 2000;
  plan.loadRepetitions = 5;
  const std::string head = bench::FwsMovieHead();
  if (!WriteMovie(plan.smallMovie, head, head.size()) ||
      !WriteMovie(plan.largeMovie, head, 100u << 20)) {
    std::printf("benchmark failed: cannot write the movies in %s\n", folder.c_str());
    return 1;
  }

  // The settings keys the lists go to: the vendor key followed by the throwaway names.
  std::vector<std::string> benchKeys;
  for (int entries : {1000, 10000}) {
    benchKeys.push_back(SettingsKeyPath(bench::BenchModuleFileName(plan, entries),
                                        system.codePage));
  }
  const bool vendorKeyExisted = KeyExists(kVendorKey);
  for (const std::string& key : benchKeys) {
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());  // a leftover of an interrupted run
  }
  std::printf("swfsaver_bench: Win32 platform, wall clock (files in %s, registry keys "
              "HKCU\\%s...)\n",
              folder.c_str(), benchKeys[0].c_str());
  const int result = bench::RunBenchmarks(platform, kernel, plan);

  for (const std::string& key : benchKeys) {
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  }
  // Only a vendor key this run made goes; it stays when it holds anything else.
  if (!vendorKeyExisted) RegDeleteKeyA(HKEY_CURRENT_USER, kVendorKey);
  DeleteFileA(plan.smallMovie.c_str());
  DeleteFileA(plan.largeMovie.c_str());
  return result;
}
