// Stands for another program that has a movie open without sharing it (an editor, a copy in
// progress): opens the file named by its argument for reading with no sharing at all, says so
// on its output ("holding", or "failed <error code>"), and keeps it open until its input
// closes.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: file_holder <file>\n");
    return 2;
  }
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("failed %lu\n", GetLastError());
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char byte;
  DWORD read = 0;
  while (ReadFile(input, &byte, 1, &read, nullptr) && read > 0) {
  }
  CloseHandle(file);
  return 0;
}
