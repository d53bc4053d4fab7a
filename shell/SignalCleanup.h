#pragma once

#include <functional>

namespace vorlix::shell {

// What must be undone when a signal ends the program in the middle of a job: partial files to
// remove, a print job to cancel. Owners register their actions while the work is open and remove
// them when it is committed or dropped; the thread that takes the signal runs what is left, never
// a signal handler.
class SignalCleanup {
public:
    // Adds an action for this owner (an owner may have several).
    static void add(const void* owner, std::function<void()> action);
    // Makes what must be undone and adds the action that undoes it in one step, so that a signal
    // finds both or neither: a file made here is never left behind by a signal that came while it
    // was being made. False (nothing added) when `make` fails.
    static bool addMade(
        const void* owner, const std::function<bool()>& make, std::function<void()> action);
    // Forgets the owner's actions; waits while they are running.
    static void remove(const void* owner);
    // Runs and forgets every action, the newest first. The program ends right after: nothing may
    // be added any more, so a thread that tries waits until the end.
    static void runAll();
};

}
