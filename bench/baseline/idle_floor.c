/* idle_floor.c — the least a thread costs that wakes every millisecond.
 *
 * Sleeps 1 ms in a loop for the given number of seconds (default 20) and
 * does nothing else. scripts/measure_idle.sh measures it side by side with
 * the game: on a virtual machine the kernel's part of a thousand wake-ups a
 * second is not small, and this shows how much of the game's idle cost is
 * that floor. */
#include <stdlib.h>
#include <time.h>

int main(int argc, char** argv) {
    int seconds = argc > 1 ? atoi(argv[1]) : 20;
    struct timespec start, now, ms = {0, 1000000};
    clock_gettime(CLOCK_MONOTONIC, &start);
    do {
        nanosleep(&ms, NULL);
        clock_gettime(CLOCK_MONOTONIC, &now);
    } while (now.tv_sec - start.tv_sec < seconds);
    return 0;
}
