// Relocatable memory blocks. Each block has a master pointer record that lives until the
// block is disposed of; the Handle is the address of the record's pointer field. Every
// resize moves the bytes to a new allocation, so a caller that kept a pointer into a block
// across a resize reads freed memory, which the sanitizer build reports at once.
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_map>

#include "host/memory.h"
#include "refhost/memory/memory_control.h"

namespace {

// Bytes that a block gets where its contents are unspecified; never zero, so code that
// forgets to initialise what it allocated shows itself.
constexpr unsigned char kUnspecifiedByte = 0xA5;

struct MasterPointer {
    Ptr bytes = nullptr; // must stay the first member: a Handle addresses it
    Size size = 0;
};

struct BlockRegistry {
    std::unordered_map<Handle, MasterPointer*> live;
    std::size_t liveBytes = 0;
    OSErr lastError = noErr;
    unsigned failCountdown = 0;
    std::size_t requests = 0;
    Size failAbove = std::numeric_limits<Size>::max();
};

BlockRegistry& Registry() {
    static BlockRegistry registry;
    return registry;
}

// Decides whether this request may go ahead, consuming one step of the countdown.
bool RequestAllowed(Size byteCount) {
    BlockRegistry& r = Registry();
    ++r.requests;
    if (byteCount < 0 || byteCount > r.failAbove) {
        return false;
    }
    if (r.failCountdown > 0 && --r.failCountdown == 0) {
        return false;
    }
    return true;
}

// Room for byteCount bytes (at least one, so every block has an address of its own).
Ptr AllocateBytes(Size byteCount) {
    return static_cast<Ptr>(std::malloc(byteCount > 0 ? static_cast<std::size_t>(byteCount) : 1));
}

MasterPointer* Lookup(Handle h) {
    auto& live = Registry().live;
    auto found = live.find(h);
    return found == live.end() ? nullptr : found->second;
}

Handle NewBlock(Size byteCount, bool clear) {
    BlockRegistry& r = Registry();
    Ptr bytes = RequestAllowed(byteCount) ? AllocateBytes(byteCount) : nullptr;
    auto* master = bytes ? new (std::nothrow) MasterPointer{bytes, byteCount} : nullptr;
    if (!master) {
        std::free(bytes);
        r.lastError = memFullErr;
        return nullptr;
    }
    std::memset(bytes, clear ? 0 : kUnspecifiedByte, static_cast<std::size_t>(byteCount));
    Handle h = &master->bytes;
    r.live.emplace(h, master);
    r.liveBytes += static_cast<std::size_t>(byteCount);
    r.lastError = noErr;
    return h;
}

} // namespace

Handle NewHandle(Size byteCount) {
    return NewBlock(byteCount, false);
}

Handle NewHandleClear(Size byteCount) {
    return NewBlock(byteCount, true);
}

void SetHandleSize(Handle h, Size newSize) {
    BlockRegistry& r = Registry();
    MasterPointer* master = Lookup(h);
    if (!master) {
        r.lastError = nilHandleErr;
        return;
    }
    Ptr moved = RequestAllowed(newSize) ? AllocateBytes(newSize) : nullptr;
    if (!moved) {
        r.lastError = memFullErr;
        return;
    }
    Size kept = newSize < master->size ? newSize : master->size;
    std::memcpy(moved, master->bytes, static_cast<std::size_t>(kept));
    std::memset(moved + kept, kUnspecifiedByte, static_cast<std::size_t>(newSize - kept));
    std::free(master->bytes);
    r.liveBytes =
        r.liveBytes - static_cast<std::size_t>(master->size) + static_cast<std::size_t>(newSize);
    master->bytes = moved;
    master->size = newSize;
    r.lastError = noErr;
}

Size GetHandleSize(Handle h) {
    MasterPointer* master = Lookup(h);
    Registry().lastError = master ? noErr : nilHandleErr;
    return master ? master->size : 0;
}

void HUnlock(Handle h) {
    Registry().lastError = Lookup(h) ? noErr : nilHandleErr;
}

void DisposeHandle(Handle h) {
    BlockRegistry& r = Registry();
    auto found = r.live.find(h);
    if (found == r.live.end()) {
        r.lastError = h ? nilHandleErr : noErr;
        return;
    }
    MasterPointer* master = found->second;
    r.liveBytes -= static_cast<std::size_t>(master->size);
    r.live.erase(found);
    std::free(master->bytes);
    delete master;
    r.lastError = noErr;
}

OSErr MemError() {
    return Registry().lastError;
}

namespace refhost::memory {

Usage CurrentUsage() {
    return {Registry().live.size(), Registry().liveBytes};
}

bool IsLiveHandle(Handle h) {
    return Lookup(h) != nullptr;
}

std::size_t RequestCount() {
    return Registry().requests;
}

void FailNthRequestFromNow(unsigned n) {
    Registry().failCountdown = n;
}

void FailRequestsAbove(Size byteLimit) {
    Registry().failAbove = byteLimit;
}

void ClearFailures() {
    Registry().failCountdown = 0;
    Registry().failAbove = std::numeric_limits<Size>::max();
}

} // namespace refhost::memory
