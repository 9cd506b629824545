#pragma once

#include <string>
#include <vector>

#include "tessel/Attributes.h"
#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

// What a drag carries from one view to another: the dragged objects (speaker items, positions;
// retained while the drag lives), named values ("kind" = "speaker", the position where it
// started), and the image the view layer shows under the pointer, by style name ("groupNode")
// with its hot spot. Made by the view or component where the drag starts. GUI thread only.
class DragData : public Object
{
public:
    DragData() = default;

    void addItem(IUnknown* item);
    int countItems() const { return int(items.size()); }
    // Item `index` (borrowed), or nullptr.
    IUnknown* getItem(int index) const;
    // The first item that answers interface I, or nullptr.
    template <class I> I* findItem() const
    {
        for (const SharedPtr<IUnknown>& item : items)
            if (I* found = unknownCast<I>(item.get()))
                return found;
        return nullptr;
    }

    Attributes& getAttributes() { return attributes; }
    const Attributes& getAttributes() const { return attributes; }

    void setImage(const std::string& styleName, double hotX = 0, double hotY = 0);
    const std::string& getImage() const { return image; }
    double getHotX() const { return hotX; }
    double getHotY() const { return hotY; }

protected:
    ~DragData() override = default;

private:
    std::vector<SharedPtr<IUnknown>> items;
    Attributes attributes;
    std::string image;
    double hotX = 0;
    double hotY = 0;
};

} // namespace Tessel
