#include "core/BlockPool.h"

#include <cassert>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define CORE_POOL_POISONING 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORE_POOL_POISONING 1
#endif
#endif
#ifdef CORE_POOL_POISONING
#include <sanitizer/asan_interface.h>
#endif

namespace Core::Portable
{

namespace
{

// The free list head packs a block address into the low 48 bits and a
// change counter into the high 16. User-space addresses of the supported
// 64-bit platforms fit in 48 bits; the counter makes a pop that raced with
// a pop-push of the same block fail its exchange instead of corrupting the list.
constexpr int kAddressBits = 48;
constexpr std::uint64_t kAddressMask = (std::uint64_t(1) << kAddressBits) - 1;
constexpr std::size_t kAlignment = 16;

struct FreeBlock
{
    std::atomic<FreeBlock*> next;
};

// A stale `next` read during a lost race may be any bytes; the exchange
// that would store it fails, so it is only masked here, not checked.
std::uint64_t pack(void* block, std::uint64_t tag)
{
    return (tag << kAddressBits) | (reinterpret_cast<std::uintptr_t>(block) & kAddressMask);
}

FreeBlock* unpack(std::uint64_t word)
{
    return reinterpret_cast<FreeBlock*>(static_cast<std::uintptr_t>(word & kAddressMask));
}

std::uint64_t nextTag(std::uint64_t word)
{
    return (word >> kAddressBits) + 1;
}

// Under AddressSanitizer a free block is poisoned beyond its link word, so
// a use after free of a pooled object is still caught.
void poison(void* block, std::size_t size)
{
#ifdef CORE_POOL_POISONING
    ASAN_POISON_MEMORY_REGION(static_cast<char*>(block) + sizeof(FreeBlock), size - sizeof(FreeBlock));
#else
    (void)block;
    (void)size;
#endif
}

void unpoison(void* block, std::size_t size)
{
#ifdef CORE_POOL_POISONING
    ASAN_UNPOISON_MEMORY_REGION(block, size);
#else
    (void)block;
    (void)size;
#endif
}

std::size_t roundUp(std::size_t size)
{
    if (size < sizeof(FreeBlock))
        size = sizeof(FreeBlock);
    return (size + kAlignment - 1) / kAlignment * kAlignment;
}

} // namespace

BlockPool::BlockPool(std::size_t blockSize, std::size_t blocksPerChunk)
    : blockSize_(roundUp(blockSize)), blocksPerChunk_(blocksPerChunk ? blocksPerChunk : 1)
{
}

BlockPool::~BlockPool()
{
    Chunk* chunk = chunks_.load();
    while (chunk)
    {
        unpoison(chunk, kAlignment + blockSize_ * blocksPerChunk_);
        Chunk* next = chunk->next;
        ::operator delete(chunk, std::align_val_t(kAlignment));
        chunk = next;
    }
}

void* BlockPool::allocate()
{
    for (;;)
    {
        std::uint64_t head = head_.load(std::memory_order_acquire);
        while (FreeBlock* block = unpack(head))
        {
            // The block may be handed out by another thread meanwhile; then
            // `next` is stale, but the tag has changed and the exchange fails.
            FreeBlock* next = block->next.load(std::memory_order_relaxed);
            if (head_.compare_exchange_weak(head, pack(next, nextTag(head)), std::memory_order_acquire,
                                            std::memory_order_acquire))
            {
                inUse_.fetch_add(1, std::memory_order_relaxed);
                unpoison(block, blockSize_);
                return block;
            }
        }
        if (!grow())
            return nullptr;
    }
}

void BlockPool::deallocate(void* block)
{
    if (!block)
        return;
    inUse_.fetch_sub(1, std::memory_order_relaxed);
    push(block);
}

void BlockPool::push(void* raw)
{
    assert((reinterpret_cast<std::uintptr_t>(raw) & ~kAddressMask) == 0);
    auto* block = new (raw) FreeBlock{};
    poison(raw, blockSize_);
    std::uint64_t head = head_.load(std::memory_order_relaxed);
    do
    {
        block->next.store(unpack(head), std::memory_order_relaxed);
    } while (!head_.compare_exchange_weak(head, pack(block, nextTag(head)), std::memory_order_release,
                                          std::memory_order_relaxed));
}

bool BlockPool::grow()
{
    // The chunk header takes one alignment unit before the blocks.
    const std::size_t bytes = kAlignment + blockSize_ * blocksPerChunk_;
    void* memory = ::operator new(bytes, std::align_val_t(kAlignment), std::nothrow);
    if (!memory)
        return false;
    auto* chunk = static_cast<Chunk*>(memory);
    chunk->next = chunks_.load(std::memory_order_relaxed);
    while (!chunks_.compare_exchange_weak(chunk->next, chunk, std::memory_order_release,
                                          std::memory_order_relaxed))
    {
    }
    char* blocks = static_cast<char*>(memory) + kAlignment;
    for (std::size_t i = 0; i < blocksPerChunk_; ++i)
        push(blocks + i * blockSize_);
    created_.fetch_add(static_cast<std::int64_t>(blocksPerChunk_), std::memory_order_relaxed);
    return true;
}

} // namespace Core::Portable
