#pragma once

namespace skarvel {

// The C library's allocator keeps what a thread frees in that thread's arena, for the thread's
// next allocation, and hands it back to the system only past a threshold that grows with the
// largest block freed. A file of full-HD frames is decoded on every core, each frame's picture a
// block of 8 MiB: afterwards every arena that decoded can hold tens of MiB that nobody uses,
// more arenas on more cores, and the next open's peak comes on top of them.

// Lets the process share one arena, whatever its threads, so that what the allocator keeps does
// not grow with the cores. The allocator fixes its limit when it first makes a second
// arena: call this at the start of main, before any thread starts.
void ShareFewArenas();

// Hands back to the system the memory the allocator keeps from blocks freed so far: once an
// opened file's frames have been let go, before the next file is read.
void ReturnFreedMemory();

} // namespace skarvel
