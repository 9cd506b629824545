#include "speaker/ClipboardItem.h"

#include "model/JsonCodec.h"
#include "speaker/PresetFile.h"
#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/Json.h"

namespace Vellaris::LK
{

ClipboardItem::ClipboardItem(std::unique_ptr<StorageFilter> filter)
    : filter(std::move(filter)), stream(new Tessel::MemoryStream)
{
}

ClipboardItem::~ClipboardItem() = default;

bool ClipboardItem::store(Tessel::Component& component)
{
    JsonCodec::ensureInstalled();
    Tessel::Attributes tree;
    PresetFile::storeTree(component, tree, filter.get());
    std::string text;
    clear();
    if (!Tessel::JsonStringify(tree, text))
        return false;
    stream->write(text.data(), int64_t(text.size()));
    return true;
}

bool ClipboardItem::restore(Tessel::Component& component) const
{
    if (isEmpty())
        return false;
    JsonCodec::ensureInstalled();
    Tessel::Attributes tree;
    std::string problem;
    if (!Tessel::JsonParse(stream->getBytes(), tree) ||
        !PresetFile::checkStoredForm(component, tree, filter.get(), problem))
        return false;
    PresetFile::restoreTree(component, tree, filter.get());
    return true;
}

bool ClipboardItem::isEmpty() const
{
    return stream->getSize() == 0;
}

void ClipboardItem::clear()
{
    stream = new Tessel::MemoryStream;
}

} // namespace Vellaris::LK
