// A simulated month for the benchmark: thirty days at interval 1, every tick
// announcing (the clock line and a reason), beside a simulated 8.0 client, in
// virtual time.  Prints the wall time it took and the lines per second.
#include <chrono>
#include <cstdio>

#include "tests/program_fixture.h"

int main() {
    using namespace qm::testing;
    constexpr int kDays = 30;
    World world;
    world.Start("", "brb\r\neating\r\nsleeping\r\n");
    world.IdleOn();
    const std::size_t before = world.client.Transcript("Lobby").size();

    const auto start = std::chrono::steady_clock::now();
    world.sim.RunFor(kDays * 86400.0 + 1);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;

    const std::size_t lines = world.client.Transcript("Lobby").size() - before;
    std::printf("month: %d days, %zu lines (%zu announcements), %.2f s wall, %.0f lines/s, clock %s\n", kDays, lines,
                lines / 2, wall.count(), static_cast<double>(lines) / wall.count(), world.form.Label2.c_str());
    // Every minute announced: its clock line and a reason.
    return lines == 2u * kDays * 24 * 60 ? 0 : 1;
}
