// Stands for a running instance of the program: takes the single-instance mutex, says so on
// its output ("holding", or "exists" when the name was taken already), and keeps it until its
// input closes.
#include <windows.h>

#include <cstdio>

int main() {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, "Maldrevonix for ostrevanworks");
  const DWORD error = GetLastError();
  std::printf("%s\n", mutex != nullptr && error == 0 ? "holding" : "exists");
  std::fflush(stdout);
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char byte;
  DWORD read = 0;
  while (ReadFile(input, &byte, 1, &read, nullptr) && read > 0) {
  }
  return 0;
}
