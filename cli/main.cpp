#include <cstdio>

int main() {
  std::fputs("mervane-cli: not ready yet\n", stderr);
  return 2;
}
