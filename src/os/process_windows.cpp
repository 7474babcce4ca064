// The wide command line, and the console of whoever started the program.
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <cstdio>

#include "os/process.h"
#include "os/wide_windows.h"

namespace os {

namespace {

bool hasStream(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// A desktop program starts without standard output unless it was
// redirected; started from a console it may borrow that one. A stream that
// is redirected (a file, a pipe) stays as it is.
void joinParentConsole() {
  const bool out = hasStream(STD_OUTPUT_HANDLE), err = hasStream(STD_ERROR_HANDLE);
  if ((out && err) || AttachConsole(ATTACH_PARENT_PROCESS) == 0) return;
  if (!out) std::freopen("CONOUT$", "w", stdout);
  if (!err) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace

std::vector<std::string> startProcess(int argc, char** argv) {
  joinParentConsole();
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(windows::narrow(wide[i], wcslen(wide[i])));
  LocalFree(wide);
  return args;
}

}  // namespace os
