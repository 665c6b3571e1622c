#include "FailingAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations left until the one that fails; 0 when none is to fail.
std::atomic<long> allocationsToGo{0};
std::atomic<bool> failed{false};

}  // namespace

FailingAllocation::FailingAllocation(long n) noexcept {
    failed = false;
    allocationsToGo = n;
}

FailingAllocation::~FailingAllocation() {
    allocationsToGo = 0;
}

bool FailingAllocation::Failed() const noexcept {
    return failed;
}

void* operator new(std::size_t size) {
    long toGo = allocationsToGo.load();
    while (toGo > 0 && !allocationsToGo.compare_exchange_weak(toGo, toGo - 1)) {
    }
    if (toGo == 1) {
        failed = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
