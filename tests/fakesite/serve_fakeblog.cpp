// Serves the fake FC2 blog for trying Sendora by hand; stops on Ctrl+C.
#include "sites.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t stop = 0;
void onSignal(int) { stop = 1; }
} // namespace

int main() {
  fake::FakeFc2 site;
  if (!site.start()) {
    std::fprintf(stderr, "could not listen on 127.0.0.1\n");
    return 1;
  }
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  std::printf("fake FC2 blog: %s (account user@example.com / secret)\n",
              site.loginUrl().c_str());
  std::printf("blog top page: %s\n", site.topUrl().c_str());
  std::fflush(stdout);
  while (!stop)
    pause();
  site.stop();
  return 0;
}
