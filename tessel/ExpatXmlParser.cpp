#include "tessel/ExpatXmlParser.h"

#include <algorithm>
#include <climits>

#include <expat.h>

#include "tessel/IFileSystem.h"
#include "tessel/Platform.h"

namespace Tessel
{

namespace
{
// State shared with expat's callbacks during one parse.
struct ParseContext
{
    XML_Parser parser;
    IXmlHandler& handler;
    bool stopped = false;
    std::string text; // character data gathered since the last other event

    // Hands gathered character data to the handler in one piece.
    bool flushText()
    {
        if (text.empty() || stopped)
            return !stopped;
        std::string pending;
        pending.swap(text);
        if (!handler.characterData(pending))
            stop();
        return !stopped;
    }

    void stop()
    {
        if (!stopped)
        {
            stopped = true;
            XML_StopParser(parser, XML_FALSE);
        }
    }
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto* context = static_cast<ParseContext*>(data);
    if (!context->flushText())
        return;
    XmlAttributes list;
    for (const XML_Char** a = attributes; a && a[0]; a += 2)
        list.emplace_back(a[0], a[1]);
    if (!context->handler.startElement(name, list))
        context->stop();
}

void XMLCALL onEnd(void* data, const XML_Char* name)
{
    auto* context = static_cast<ParseContext*>(data);
    if (!context->flushText())
        return;
    if (!context->handler.endElement(name))
        context->stop();
}

void XMLCALL onText(void* data, const XML_Char* text, int length)
{
    auto* context = static_cast<ParseContext*>(data);
    if (!context->stopped)
        context->text.append(text, size_t(length));
}

void XMLCALL onInstruction(void* data, const XML_Char* target, const XML_Char* text)
{
    auto* context = static_cast<ParseContext*>(data);
    if (!context->flushText())
        return;
    if (!context->handler.processingInstruction(target, text ? text : ""))
        context->stop();
}
} // namespace

void* ExpatXmlParser::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(IXmlParser)
    return Unknown::queryInterface(iid);
}

bool ExpatXmlParser::parse(const char* data, size_t size, IXmlHandler& handler)
{
    errorMessage.clear();
    errorLine = 0;
    // No encoding override: a document's own declaration decides (UTF-8 when it has none).
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (!parser)
    {
        errorMessage = "out of memory";
        return false;
    }
    ParseContext context{parser, handler, false, {}};
    XML_SetUserData(parser, &context);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onText);
    XML_SetProcessingInstructionHandler(parser, onInstruction);

    bool ok = true;
    // expat takes int lengths: feed large documents in pieces.
    size_t offset = 0;
    do
    {
        size_t piece = std::min(size - offset, size_t(INT_MAX / 2));
        bool last = offset + piece == size;
        if (XML_Parse(parser, data ? data + offset : "", int(piece), last ? XML_TRUE : XML_FALSE) !=
            XML_STATUS_OK)
        {
            ok = false;
            break;
        }
        offset += piece;
    } while (offset < size);

    if (ok)
        ok = context.flushText();
    if (!ok)
    {
        errorLine = int(XML_GetCurrentLineNumber(parser));
        if (context.stopped)
            errorMessage = "line " + std::to_string(errorLine) + ": stopped by the reader";
        else
            errorMessage =
                "line " + std::to_string(errorLine) + ": " + XML_ErrorString(XML_GetErrorCode(parser));
    }
    XML_ParserFree(parser);
    return ok;
}

bool ExpatXmlParser::parseUrl(const std::string& url, IXmlHandler& handler)
{
    std::string bytes;
    if (!GetFileSystem()->readFile(url, bytes))
    {
        errorMessage = "cannot read " + url;
        errorLine = 0;
        return false;
    }
    return parse(bytes.data(), bytes.size(), handler);
}

IXmlParser* CreateXmlParser()
{
    return new ExpatXmlParser;
}

} // namespace Tessel
