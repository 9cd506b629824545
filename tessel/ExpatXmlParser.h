#pragma once

#include <string>

#include "tessel/IXmlParser.h"
#include "tessel/Unknown.h"

namespace Tessel
{

// The XML parser of every platform, on expat. No namespace processing, no external entities.
class ExpatXmlParser : public Unknown, public IXmlParser
{
public:
    ExpatXmlParser() = default;

    void* queryInterface(const UID& iid) override;
    bool parse(const char* data, size_t size, IXmlHandler& handler) override;
    bool parseUrl(const std::string& url, IXmlHandler& handler) override;
    std::string getErrorMessage() const override { return errorMessage; }
    int getErrorLine() const override { return errorLine; }

private:
    std::string errorMessage;
    int errorLine = 0;
};

// A new XML parser (reference count 1, released by the caller).
IXmlParser* CreateXmlParser();

} // namespace Tessel
