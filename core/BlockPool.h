#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

namespace Core::Portable
{

// A pool of fixed-size blocks kept on a lock-free free list. allocate() pops
// a block; deallocate() pushes it back. Only when the list is empty does the
// pool take memory from the heap, one chunk of several blocks at a time.
// Blocks never return to the heap while the pool lives, which is what makes
// the list safe to pop without a lock (a tag counter guards against ABA).
class BlockPool
{
public:
    // blockSize is rounded up to 16 bytes; blocksPerChunk blocks are carved
    // from each heap allocation.
    explicit BlockPool(std::size_t blockSize, std::size_t blocksPerChunk = 64);
    // Frees every chunk. Blocks still in use become invalid, so destroy a
    // pool only when blocksInUse() is 0 (the shared pools are never destroyed).
    ~BlockPool();

    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;

    // Returns a block of blockSize() bytes aligned to 16, or nullptr when the
    // heap is exhausted. Safe from any thread.
    void* allocate();
    // Returns a block obtained from allocate() of this pool. Null is ignored.
    void deallocate(void* block);

    std::size_t blockSize() const { return blockSize_; }
    // Blocks handed out and not yet returned.
    std::int64_t blocksInUse() const { return inUse_.load(std::memory_order_relaxed); }
    // Blocks taken from the heap so far (in use plus free).
    std::int64_t blocksCreated() const { return created_.load(std::memory_order_relaxed); }

    // The process-wide pool for objects of type T (one per type, never destroyed).
    template <class T> static BlockPool& forType()
    {
        static BlockPool* pool = new BlockPool(sizeof(T));
        return *pool;
    }

private:
    bool grow();
    void push(void* block);

    struct Chunk
    {
        Chunk* next;
    };

    const std::size_t blockSize_;
    const std::size_t blocksPerChunk_;
    std::atomic<std::uint64_t> head_{0}; // block address in the low 48 bits, tag above
    std::atomic<Chunk*> chunks_{nullptr};
    std::atomic<std::int64_t> inUse_{0};
    std::atomic<std::int64_t> created_{0};
};

} // namespace Core::Portable

// Gives a class pooled operator new/delete. Objects of exactly the class's
// size come from BlockPool::forType<Class>(); derived classes of another size
// use the global heap. Put it in the public section of the class.
#define CORE_POOLED_ALLOCATION(Class)                                                                        \
    static void* operator new(std::size_t size)                                                              \
    {                                                                                                        \
        if (size == sizeof(Class))                                                                           \
        {                                                                                                    \
            if (void* block = ::Core::Portable::BlockPool::forType<Class>().allocate())                      \
                return block;                                                                                \
            throw std::bad_alloc();                                                                          \
        }                                                                                                    \
        return ::operator new(size);                                                                         \
    }                                                                                                        \
    static void operator delete(void* block, std::size_t size)                                               \
    {                                                                                                        \
        if (size == sizeof(Class))                                                                           \
            ::Core::Portable::BlockPool::forType<Class>().deallocate(block);                                 \
        else                                                                                                 \
            ::operator delete(block);                                                                        \
    }
