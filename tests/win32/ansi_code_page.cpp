// Prints the ANSI code page that a program started the same way gets (Wine takes it from the
// locale of the environment), for the script tests whose result depends on it.
#include <windows.h>

#include <cstdio>

int main() {
  std::printf("%u\n", GetACP());
  return 0;
}
