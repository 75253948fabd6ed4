// Relocatable memory blocks.
//
// A Handle addresses the host's master pointer for a block; the master pointer addresses
// the bytes. The master pointer stays put for the block's whole life while the bytes may
// move whenever the block is resized, so a caller re-reads *h after every call that may
// resize, and never keeps a raw pointer into a block across such a call.
//
// Failures never throw: the allocating calls return null or leave the block as it was,
// and MemError() then reports memFullErr (-108). Every call sets MemError(); a call that
// succeeds sets it to noErr.
#pragma once

#include "host/mac_types.h"

// A new block of byteCount bytes whose contents are unspecified; null on failure.
Handle NewHandle(Size byteCount);
// A new block of byteCount zero bytes; null on failure.
Handle NewHandleClear(Size byteCount);
// Resizes the block, keeping its contents up to the smaller of the two sizes; bytes beyond
// the old size are unspecified. On failure the block keeps its old size and contents.
void SetHandleSize(Handle h, Size newSize);
// The block's size in bytes; 0 (and nilHandleErr) for a null handle.
Size GetHandleSize(Handle h);
// Blocks are never locked by this host, so unlocking only states that the caller holds no
// pointer into the block; kept because a resize must be preceded by it on other hosts.
void HUnlock(Handle h);
// Releases the block and its master pointer; a null handle is ignored (noErr). The handle
// must not be used again.
void DisposeHandle(Handle h);
// A handle that is not alive (never made, or already disposed of) is refused by every call
// above without harm: MemError() then reports nilHandleErr and nothing changes.

// The result of the last memory call: noErr, memFullErr or nilHandleErr.
OSErr MemError();
