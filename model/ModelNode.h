#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tessel/IXmlParser.h"

namespace Vellaris
{

// One element of a loaded component-model document: its element name, its attributes (read into
// the fields of the node class of its kind), its ordered children and its parent. Nodes own their
// children. The base class is the plain node that elements without a class of their own get.
class ModelNode
{
public:
    explicit ModelNode(std::string elementName);
    virtual ~ModelNode();
    ModelNode(const ModelNode&) = delete;
    ModelNode& operator=(const ModelNode&) = delete;

    const std::string& getElementName() const { return elementName; }
    bool is(std::string_view name) const { return elementName == name; }
    ModelNode* getParent() const { return parent; }
    const std::vector<std::unique_ptr<ModelNode>>& getChildren() const { return children; }

    // Appends `child` (taking it over) and makes this node its parent. Returns the child.
    ModelNode* appendChild(std::unique_ptr<ModelNode> child);
    // Moves every child of `other` to the end of this node's children, in order.
    void takeChildrenOf(ModelNode& other);

    // Reads the element's attributes into the node's fields; the base keeps none.
    virtual void readAttributes(const Tessel::XmlAttributes& attributes) {}
    // Character data inside the element; the base ignores it.
    virtual void addCharacterData(std::string_view text) {}
    // The node's "id" attribute, empty for nodes without one.
    virtual const std::string& getId() const;

    // The first direct child with `name` as element name, or nullptr.
    ModelNode* findChild(std::string_view name) const;

private:
    std::string elementName;
    ModelNode* parent = nullptr;
    std::vector<std::unique_ptr<ModelNode>> children;
};

// Makes the node for an element: through the element table (filled once on first use) for the
// known component-model elements, a plain ModelNode for any other name.
std::unique_ptr<ModelNode> createModelNode(const std::string& elementName);

} // namespace Vellaris
