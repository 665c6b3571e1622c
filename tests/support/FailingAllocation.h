#pragma once
// Memory running out at one chosen allocation: while the object lives, the n-th
// allocation through operator new from its making on (1: the next one) throws
// std::bad_alloc, and every other is made as usual. Only in the test program that
// links FailingAllocation.cpp, which replaces the global operator new.

class FailingAllocation {
public:
    explicit FailingAllocation(long n) noexcept;
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
    ~FailingAllocation();

    // Whether the n-th allocation came, and failed.
    [[nodiscard]] bool Failed() const noexcept;
};
