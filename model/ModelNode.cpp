#include "model/ModelNode.h"

namespace Vellaris
{

ModelNode::ModelNode(std::string elementName) : elementName(std::move(elementName)) {}

ModelNode::~ModelNode() = default;

ModelNode* ModelNode::appendChild(std::unique_ptr<ModelNode> child)
{
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

void ModelNode::takeChildrenOf(ModelNode& other)
{
    for (auto& child : other.children)
    {
        child->parent = this;
        children.push_back(std::move(child));
    }
    other.children.clear();
}

const std::string& ModelNode::getId() const
{
    static const std::string empty;
    return empty;
}

ModelNode* ModelNode::findChild(std::string_view name) const
{
    for (const auto& child : children)
    {
        if (child->is(name))
            return child.get();
    }
    return nullptr;
}

} // namespace Vellaris
