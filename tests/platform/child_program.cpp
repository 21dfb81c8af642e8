// A small program the shell tests start: it writes its arguments and its current
// folder to a marker file, named by the first argument or, without arguments, by the
// environment variable VELKARO_TEST_MARKER. The file appears complete or not at all.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  std::wstring marker;
  if (argc > 1) {
    marker = argv[1];
  } else {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"VELKARO_TEST_MARKER", buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    marker = buffer;
  }
  std::wstring content;
  for (int i = 2; i < argc; ++i) content += std::wstring(argv[i]) + L"|";
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  content += L"\n";
  content += folder;

  const std::wstring partial = marker + L".part";
  FILE* out = _wfopen(partial.c_str(), L"wb");
  if (out == nullptr) return 2;
  std::fwrite(content.data(), sizeof(wchar_t), content.size(), out);
  std::fclose(out);
  return MoveFileW(partial.c_str(), marker.c_str()) ? 0 : 3;
}
