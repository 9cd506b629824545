#include "ModelTestSupport.h"

#include "tessel/Initializer.h"

namespace modeltest
{

std::string document(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<lk:ComponentModel xmlns:lk=\"urn:vellaris:componentmodel\" "
           "xmlns:xi=\"http://www.w3.org/2001/XInclude\" namespace=\"Test\">\n" +
           body + "\n</lk:ComponentModel>\n";
}

ModelTest::ModelTest() : builder(new Vellaris::UniversalComponentBuilder)
{
    Tessel::runInitializers();
    platform.clearRecords();
}

ModelTest::~ModelTest() = default;

void ModelTest::loadBody(const std::string& body)
{
    ASSERT_TRUE(builder->getModel().loadFromMemory(document(body), "memory:///test.xml"));
}

Vellaris::UniversalComponent* ModelTest::build(const std::string& templateId)
{
    root = new Vellaris::UniversalComponent;
    builder->buildTemplate(root, templateId, Vellaris::UniversalComponent::metaClass);
    return root;
}

int ModelTest::countWarnings(const std::string& text) const
{
    int count = 0;
    for (const std::string& line : warnings())
        count += line.find(text) != std::string::npos ? 1 : 0;
    return count;
}

std::vector<std::string> ModelTest::childNames(const Tessel::Component& component)
{
    std::vector<std::string> names;
    for (int i = 0; i < component.countChildren(); ++i)
        names.push_back(component.getChild(i)->getName());
    return names;
}

std::vector<std::string> ModelTest::paramNames(const Tessel::Component& component)
{
    std::vector<std::string> names;
    for (int i = 0; i < component.countParameters(); ++i)
        names.push_back(component.getParameterAt(i)->getName());
    return names;
}

} // namespace modeltest
