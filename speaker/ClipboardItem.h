#pragma once

#include <memory>

#include "speaker/StorageFilter.h"
#include "tessel/MemoryStream.h"
#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{
class Component;
}

namespace Vellaris::LK
{

// Settings of one component held for a later paste: its storage tree, written through the item's
// storage filter into a memory stream (room for MemoryStream::kInitialCapacity bytes at first).
// A paste restores a component from it through the same filter.
class ClipboardItem : public Tessel::Object
{
public:
    // The item takes over `filter` (null: everything storable).
    explicit ClipboardItem(std::unique_ptr<StorageFilter> filter = nullptr);

    // Replaces the item's content with the storage tree of `component`. False when it cannot be
    // written (no JSON codec); the item is empty then.
    bool store(Tessel::Component& component);
    // Restores `component` from the item. False, with nothing changed, when the item is empty or
    // holds no settings for a component of `component`'s name.
    bool restore(Tessel::Component& component) const;
    bool isEmpty() const;
    void clear();
    const Tessel::MemoryStream& getStream() const { return *stream; }
    StorageFilter* getFilter() const { return filter.get(); }

protected:
    ~ClipboardItem() override;

private:
    std::unique_ptr<StorageFilter> filter;
    Tessel::AutoPtr<Tessel::MemoryStream> stream;
};

} // namespace Vellaris::LK
