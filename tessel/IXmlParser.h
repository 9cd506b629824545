#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "tessel/IUnknown.h"

namespace Tessel
{

// Attributes of an element start in document order: (name, value), UTF-8.
using XmlAttributes = std::vector<std::pair<std::string, std::string>>;

// Receives the events of an XML parse. Element names come as written ("lk:Param"); no namespace
// processing. Each call returns true to go on or false to stop the parse (which then fails).
class IXmlHandler
{
public:
    virtual bool startElement(const std::string& name, const XmlAttributes& attributes) = 0;
    virtual bool endElement(const std::string& name) = 0;
    // Character data; one run of text may arrive in several pieces.
    virtual bool characterData(const std::string& text) { return true; }
    // A processing instruction such as <?config debug?>: target "config", data "debug" (data is
    // "" for <?config?>).
    virtual bool processingInstruction(const std::string& target, const std::string& data) { return true; }

protected:
    virtual ~IXmlHandler() = default;
};

// An event-style XML parser. Create one per document with CreateXmlParser().
class IXmlParser : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0033, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x33};

    // Parses a whole document held in memory, calling `handler`. Returns false on malformed XML or
    // when the handler stopped; getErrorMessage() then says why.
    virtual bool parse(const char* data, size_t size, IXmlHandler& handler) = 0;
    // Opens `url` through the file system and parses it.
    virtual bool parseUrl(const std::string& url, IXmlHandler& handler) = 0;
    // The last failure as text ("line 3: mismatched tag"), "" after success.
    virtual std::string getErrorMessage() const = 0;
    // The line of the last failure (1-based), 0 after success.
    virtual int getErrorLine() const = 0;
};

} // namespace Tessel
