#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/UniversalComponent.h"
#include "model/UniversalComponentBuilder.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/SharedPtr.h"

namespace modeltest
{

// A model document around `body` (sections and includes), with the usual prefixes bound.
std::string document(const std::string& body);

// Test base: a headless platform (so warnings are recorded), a builder of its own and a root
// component to build into.
class ModelTest : public ::testing::Test
{
protected:
    ModelTest();
    ~ModelTest() override;

    // Loads `body` wrapped by document() into the builder; fails the test when it does not load.
    void loadBody(const std::string& body);
    // Builds `templateId` into a fresh root (UniversalComponent default class) and returns it.
    Vellaris::UniversalComponent* build(const std::string& templateId);
    // Warnings recorded since the last clear, and how many contain `text`.
    const std::vector<std::string>& warnings() const { return platform.getWarnings(); }
    int countWarnings(const std::string& text) const;
    // The names of the children of `component`, in order.
    static std::vector<std::string> childNames(const Tessel::Component& component);
    // The names of the parameters of `component`, in order.
    static std::vector<std::string> paramNames(const Tessel::Component& component);

    Tessel::HeadlessPlatform platform;
    Tessel::AutoPtr<Vellaris::UniversalComponentBuilder> builder;
    Tessel::AutoPtr<Vellaris::UniversalComponent> root;
};

} // namespace modeltest
