#pragma once

namespace plannery {

// Has the C library give blocks of 256 KB and more back to the system as soon as they are freed:
// the pictures of pages and the lists of months. Left to itself, glibc raises that bound after
// the first such block is freed and then keeps up to 64 MB of freed memory for later. Called
// once as the window's program starts, before its threads do.
void returnLargeBlocksWhenFreed();

// Hands back to the system the pages of every heap that freed blocks left empty: glibc keeps
// them for later otherwise, and after a year browsed they are up to a sixth of the window's memory.
// Costs a millisecond or a few, so it is called when the window is idle.
void returnFreedMemory();

} // namespace plannery
